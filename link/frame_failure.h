#pragma once

// Why the link judged a frame failed: told by the engine with each frame and kept in the
// frame inspector's rows.

#include <cstdint>

namespace kivra::link {

enum class FrameFailure : std::uint8_t {
  None,
  Checksum,     // a whole reply whose checksum does not hold
  WrongLetter,  // a valid reply, but to another request
  TooShort,     // a valid reply too short for the fields it must carry
  Refused,      // 15h: the driver refused the request
  TimeOut,      // nothing that answers came in time
  Partial,      // a reply stopped halfway and timed out
  PortRefused,  // the port would not take the frame
  Garbage,      // bytes that form no frame
  LinkOff,      // the port is not open (or closed while the exchange ran)
};

}  // namespace kivra::link
