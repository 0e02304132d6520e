#pragma once

// Two facts about the driver link that the window, the command line and the texts that
// tell them all read.

namespace kivra {

// The state of the link as the connection displays tell it. The connection lamps are lit
// exactly while the driver answers.
enum class LinkStatus {
  PortClosed,    // no port open: nothing is sent
  NotAnswering,  // the port is open, the driver does not answer
  Answering,
  Reconnecting,  // the port's device went away; waiting for it to come back
};

// Why a port did not open, as far as the user can do something about it.
enum class OpenFailure {
  Missing,       // no such device (an adapter not plugged in, a wrong number)
  NotSerial,     // the path names something else (a file, /dev/null)
  Busy,          // another program has it open
  NoPermission,  // the user may not open it (not in the dialout group)
  NotChosen,     // port 0 and no port picked
  Other,         // anything else; the serial component's own words say it
};

}  // namespace kivra
