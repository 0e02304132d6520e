#pragma once

// What the link engine tells the rest of the system: typed facts about the driver and the
// line, never how they look. The window's presenter draws them, the command line prints
// them, recorders and inspectors keep them. Several observers may listen at once.

#include <cstdint>
#include <span>
#include <string_view>

#include "common/link_status.h"
#include "link/frame_failure.h"
#include "link/frames.h"
#include "link/states.h"
#include "link/values.h"

namespace kivra::link {

using kivra::LinkStatus;

// How a requested exchange (not a status poll, not the download) ended.
enum class ExchangeOutcome { None, Running, Acknowledged, Refused, Failed, Replaced };

// One frame on the line, or what became of it.
enum class FrameEvent : std::uint8_t {
  Sent,        // a whole frame handed to the port
  Received,    // bytes read from the port (any number, as they came)
  Accepted,    // a reply taken as the answer: the acknowledgement or a valid reply
  Failed,      // the awaited answer did not come as it should; `why` says how
  PassedOver,  // received bytes that answer nothing: `why` None for a late reply of an
               // earlier exchange, Garbage, Checksum or Partial for bytes that form none
};

struct ExchangeRecord {
  LinkState request = LinkState::Idle;  // the exchange's send state
  ExchangeOutcome outcome = ExchangeOutcome::None;
  Refusal refusal = Refusal::None;        // why a refused exchange sent nothing
  FrameFailure why = FrameFailure::None;  // why a failed exchange failed (its last attempt)
};

enum class DownloadResult { None, Running, Succeeded, Failed };

// The download's course, for its progress display.
struct DownloadProgress {
  enum class Stage {
    Started,   // `maximum` set, `position` 0
    Position,  // a frame is about to go out
    Ended,     // `result` Succeeded or Failed; `resetBar` when the bar goes back to 0
  };
  Stage stage = Stage::Started;
  std::uint32_t position = 0;
  std::uint32_t maximum = 0;
  DownloadResult result = DownloadResult::Running;
  bool resetBar = false;
  // A failed download: the step it stopped at (the send state of the frame) and why;
  // Replaced when another request took the link over.
  LinkState failedStep = LinkState::Idle;
  std::uint32_t offset = 0;  // of the data frame it stopped at
  FrameFailure why = FrameFailure::None;
  bool replaced = false;
};

// What the user must be told. Notices reach observers only once the engine's state is
// settled, so an observer may show a box that runs a nested event loop (and more ticks).
enum class Notice {
  NoValidProgram,        // the download was asked without a valid program
  DownloadNoPort,        // ... with a valid program but no open port
  DownloadWaitsForPort,  // ... while the port's device is away
  DownloadError,         // a download failed or was abandoned
  NumberExpected,        // a parameter write without a number
  PortError,             // the serial component refused; the detail says why
};

struct FrameRecord {
  FrameEvent event = FrameEvent::Sent;
  FrameFailure why = FrameFailure::None;
  std::span<const std::uint8_t> bytes;  // valid only during the call
  std::uint64_t timeMs = 0;             // the engine's clock
  LinkState state = LinkState::Idle;    // the engine's state when it happened
  int attempt = 1;                      // of `attempts`, for the exchange in progress
  int attempts = 1;
  std::uint32_t roundTripMs = 0;  // Accepted, Failed: since the frame they answer went out
};

class LinkObserver {
 public:
  virtual ~LinkObserver() = default;
  // The connection displays' state, when it changes.
  virtual void OnLinkStatus(LinkStatus) {}
  // Each accepted status reply.
  virtual void OnStatus(const StatusReply&) {}
  // Every tick while the port is open and the driver does not answer (and once when the
  // link goes off): the live values are no longer known.
  virtual void OnStatusLost() {}
  // With debugging on and the script running: the 1-based program line the driver is
  // executing, on every status reply that names one.
  virtual void OnDebugLine(std::uint32_t) {}
  virtual void OnMotorSettings(const MotorSettings&) {}
  virtual void OnParameterBlock(const ParameterBlock&) {}
  virtual void OnMemoryValue(std::uint8_t) {}
  virtual void OnServiceValues(const ServiceValues&) {}
  virtual void OnProgramName(std::string_view) {}  // UTF-8
  // A setting's value passed its check and its frame goes out.
  virtual void OnValueSent(Setting, std::int32_t) {}
  virtual void OnExchange(const ExchangeRecord&) {}
  virtual void OnDownload(const DownloadProgress&) {}
  virtual void OnNotice(Notice, std::string_view /*detail*/) {}
  virtual void OnFrame(const FrameRecord&) {}
};

// The engine's clock for the frame records, in milliseconds.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::uint64_t NowMs() = 0;
};

}  // namespace kivra::link
