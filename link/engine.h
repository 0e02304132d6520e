#pragma once

// The link engine: the only code that talks to the driver. Its owner calls Tick() on a
// timer whose interval the engine chooses; each tick steps the state machine (which may
// send one frame) and then reads what the driver has sent. Handlers elsewhere never send:
// they issue a request and the next tick acts on it. There is no queue; a new request
// replaces the exchange in progress.
//
// The engine runs exchanges and nothing else. What each wire command is (its code, states,
// answer, pacing, attempts) is a row of link/commands.h; what the received bytes are is
// the reply reader's judgement (link/reply_reader.h), made from the moment each byte
// arrived: before a frame goes out, everything waiting is read and settled as belonging
// to earlier exchanges, and only what arrived after the frame left can answer it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/code_image.h"
#include "link/commands.h"
#include "link/fact_bus.h"
#include "link/facts.h"
#include "link/frames.h"
#include "link/inbox.h"
#include "link/port.h"
#include "link/reply_reader.h"
#include "link/states.h"
#include "link/values.h"

namespace kivra::link {

// The link's variables, readable by the owner and the tests.
struct LinkVariables {
  bool linkEnabled = false;
  bool connected = false;
  LinkState linkState = LinkState::Idle;
  ReplyState replyState = ReplyState::Idle;
  ReplyResult replyResult = ReplyResult::Pending;
  std::uint32_t tickCount = 0;
  std::int8_t retryCount = 0;
  bool pollEnabled = true;
  std::uint32_t downloadOffset = 0;
  std::uint8_t chunkLength = 0;
  std::uint8_t paramIndex = 0;
  std::int32_t paramValue = 0;
  std::uint16_t outputValue = 0;
  bool scriptOn = false;
  bool debugOn = false;
  bool motorRunning = false;
  std::uint8_t firmwareVersion = 0;
  std::string driverProgramName;  // UTF-8
};

// What the download writes into the driver: the code image and vector table of the last
// successful check, and the path of the program file (only its file name is sent).
struct DownloadProgram {
  bool valid = false;  // the check ended without errors
  CodeImage code{};
  VectorTable vectors{};
  std::string path;  // UTF-8
};

// The engine's course as its owner and the tests read it.
struct LinkProgress {
  LinkStatus status = LinkStatus::PortClosed;
  DownloadResult download = DownloadResult::None;
  int intervalMs = 100;
  ExchangeRecord exchange;
  std::uint64_t statusCount = 0;  // accepted status replies so far
  std::uint64_t pollsFailed = 0;  // status polls that got no acceptable reply, so far
  StatusReply lastStatus{};
};

class LinkEngine {
 public:
  // `clock` times the frame records; without one the engine uses the monotonic clock.
  LinkEngine(Port& port, IntervalTimer& timer, Clock* clock = nullptr);

  // Observers are told every fact from now on; they must outlive the engine or be removed.
  void AddObserver(LinkObserver& observer) { facts_.Add(observer); }
  void RemoveObserver(LinkObserver& observer) { facts_.Remove(observer); }

  // One tick of the timer.
  void Tick();

  // Requests. Each replaces the exchange in progress (an unfinished download that it
  // replaces is reported as failed); the next tick sends its frame. Values are checked
  // when the frame is built, by the one check of each value (link/values.h). A request
  // made while the link is off fails at once, and says so.
  void WriteSetting(Setting setting, Entered value);
  // Prm 9..25; a value that is no number or out of the parameter's range is refused at once.
  void WriteParameter(int prm, Entered value);
  // Motor settings, parameters, service values or the program name (`what` is the answer
  // awaited); the status is polled without asking.
  void Read(Answer what);
  void ReadMemory(Entered address);
  void WriteMemory(Entered address, Entered data);
  // Output 1 or 2; the driver is told the output's state as the display shows it now.
  void WriteOutput(int output, bool shownOn);
  void Run();
  void Stop();
  // MOVE, one at a time: refused (false) while the motor runs or a MOVE is being sent.
  bool Move();
  // The script switch: the driver is told, and the engine takes the script as switched
  // until the next status reply says otherwise.
  void SetScript(bool on);
  // The download button. The program is copied, so checking again while it runs changes
  // nothing; a second press while a download runs changes nothing either.
  void Download(const DownloadProgram& program);
  // Idle with status polling, as at start-up.
  void ResetToIdle();

  // Debugging: with the program's lines given and the driver's script running, each status
  // reply's code address is told as the program line of the instruction there
  // (OnDebugLine). Nothing: debugging off.
  void SetDebug(const AddressLines* lines);

  // On: the port is open; the engine starts from idle with status polling. Off: nothing
  // is sent any more; the exchange in progress ends (a download is reported as failed),
  // the connection is down and the live values are no longer known. `waitForDevice`: the
  // port's device went away (adapter pulled, line hung up) and is waited for.
  void SetLinkEnabled(bool enabled, bool waitForDevice = false);
  bool LinkEnabled() const { return vars_.linkEnabled; }

  const LinkVariables& Variables() const { return vars_; }
  const LinkProgress& Progress() const { return p_; }

 private:
  void Request(LinkState firstState);
  // Ends the exchange or download in progress: a new request replaces it.
  void Replace();

  // Tick parts.
  void StepState();
  void ReadStep();
  void Judge(const ReplyReading& reading);
  void Accept(std::span<const std::uint8_t> reply);
  void Fail(FrameFailure why, std::span<const std::uint8_t> bytes);
  // The start of a reply that will not be completed, told as passed over.
  void DropInbox();

  // Sending: settles what is waiting, flushes when asked, queues the frame. False when
  // the port refused it; nothing is then read as its answer.
  bool Send(const Frame& frame, Answer answer, bool flush);
  void SendCommand(const Command& command);
  std::optional<Frame> BuildCommand(const Command& command);
  void SetInterval(int ms);
  void SayPortError(std::string_view what);

  // Waiting for an answer.
  void AwaitAnswer(const Command& command);
  void StatusResult();
  void StepDownload();
  void DownloadEnded(DownloadResult result, bool resetBar, bool replaced = false);
  void EndExchange(ExchangeOutcome outcome, Refusal refusal = Refusal::None);
  void SetExchange(const ExchangeRecord& record);

  void SetConnected(bool connected);
  void TellFrame(FrameEvent event, FrameFailure why, std::span<const std::uint8_t> bytes);

  Port& port_;
  IntervalTimer& timer_;
  Clock* clock_;
  FactBus facts_;
  LinkVariables vars_;
  LinkProgress p_;
  Inbox inbox_;

  // The frame that went out last, and what it awaits.
  std::uint64_t ticket_ = 0;
  std::uint64_t sentAtMs_ = 0;
  Answer awaited_ = Answer::Status;
  // The last failure of the exchange in progress, told when it ends.
  FrameFailure lastFailure_ = FrameFailure::None;
  // Ticks before the next frame that awaits an acknowledgement may go out: after a resent
  // frame was acknowledged, the first attempt's acknowledgement may still be on its way
  // and must not pass for the next frame's.
  int holdTicks_ = 0;
  // Ticks during which a program-name reply may still come late.
  int nameReplyTicks_ = 0;
  bool waitingForDevice_ = false;
  // The last status poll failed: the next is its retry.
  bool pollFailed_ = false;
  std::optional<std::string> lastPortError_;

  // The operands of the requested exchange, checked when its frame is built.
  Setting setting_ = Setting::Speed;
  Entered settingValue_;
  Entered memoryAddress_;
  Entered memoryData_;
  AddressLines addressLines_{};

  // The download in progress.
  CodeImage code_{};
  VectorTable vectors_{};
  std::string programName_;
  std::uint32_t progress_ = 0;
};

}  // namespace kivra::link
