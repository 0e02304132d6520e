#pragma once

// The link engine: the only code that talks to the driver. Its owner calls Tick() on a
// timer whose interval the engine chooses; each tick steps the state machine (which may
// send one frame) and then reads whatever the driver has sent. Handlers elsewhere never
// send: they issue a request (a state number) and the next tick acts on it. There is no
// queue; a new request replaces the exchange in progress.
//
// Replies come over a real line a few bytes at a time: the reading step keeps the bytes
// of a reply until the length its first byte announces has arrived, and only then judges
// it; bytes that cannot start a reply are skipped so that the next one is found.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/code_image.h"
#include "link/frames.h"
#include "link/port.h"
#include "link/view.h"

namespace kivra::link {

// What is being read: the reply the last send asked for.
enum class ReplyState : std::uint8_t {
  Idle = 1,
  Ack = 3,
  Memory = 4,
  ParamBlock = 5,
  Status = 6,
  MotorSettings = 7,
  ServiceValues = 8,
  ProgramName = 9,
};

enum class ReplyResult : std::uint8_t { Pending = 0, Ok = 1, Failed = 2 };

// First states of the exchanges that can be requested.
namespace state {
inline constexpr std::uint8_t Idle = 1;
inline constexpr std::uint8_t DownloadBegin = 2;
inline constexpr std::uint8_t Run = 5;
inline constexpr std::uint8_t Stop = 7;
inline constexpr std::uint8_t MemoryRead = 12;
inline constexpr std::uint8_t ScriptOn = 14;
inline constexpr std::uint8_t ReadParameters = 16;
inline constexpr std::uint8_t ReadSettings = 19;
inline constexpr std::uint8_t Move = 21;
inline constexpr std::uint8_t Speed = 23;
inline constexpr std::uint8_t RunCurrent = 25;
inline constexpr std::uint8_t HoldCurrent = 27;
inline constexpr std::uint8_t Microstep = 29;
inline constexpr std::uint8_t Ramp = 31;
inline constexpr std::uint8_t StartSpeed = 33;
inline constexpr std::uint8_t Displacement = 35;
inline constexpr std::uint8_t Direction = 37;
inline constexpr std::uint8_t Service1 = 39;
inline constexpr std::uint8_t Service2 = 41;
inline constexpr std::uint8_t ReadService = 43;
inline constexpr std::uint8_t Output = 45;
inline constexpr std::uint8_t ReadProgramName = 49;
inline constexpr std::uint8_t SpeedMode = 51;
inline constexpr std::uint8_t SpeedCoefficient = 53;
inline constexpr std::uint8_t Param16 = 55;
inline constexpr std::uint8_t Param32 = 57;
inline constexpr std::uint8_t MemoryWrite = 59;
}  // namespace state

// The link's variables, readable by the owner and the tests.
struct LinkVariables {
  bool linkEnabled = false;
  bool connected = false;
  std::uint8_t linkState = state::Idle;
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

enum class DownloadResult { None, Running, Succeeded, Failed };

// How the last command exchange (not a status poll, not the download) ended.
enum class ExchangeOutcome { None, Running, Acknowledged, Refused, Failed, Replaced };
struct ExchangeRecord {
  std::uint8_t sendState = 0;
  ExchangeOutcome outcome = ExchangeOutcome::None;
};

class LinkEngine {
 public:
  LinkEngine(Port& port, LinkView& view, AppHooks& hooks, IntervalTimer& timer);

  // One tick of the timer.
  void Tick();

  // Starts an exchange: polling off, retries from 0, the exchange's first state. An
  // unfinished download that this replaces is reported as failed.
  void Request(std::uint8_t firstState);
  // Idle with status polling, as at start-up.
  void ResetToIdle();

  // On: the port is open; the engine starts from idle with status polling, so a request
  // made while the link was off is never sent. Off: nothing is sent any more; the
  // exchange in progress ends (a download is reported as failed), the indicators turn
  // red and the status displays are blanked.
  void SetLinkEnabled(bool enabled);
  bool LinkEnabled() const { return v_.linkEnabled; }
  // The port's device went away (adapter pulled, line hung up): the link is off as above
  // and waits for the device; the displays say so until PortRestored() or another port.
  void PortLost();
  // The device is back and open: status polling only.
  void PortRestored() { SetLinkEnabled(true); }
  LinkStatus Status() const { return status_; }
  void SetEnglish(bool english) { english_ = english; }
  bool English() const { return english_; }

  // The download button: the code image, vector table and program path of the last
  // successful check. They are copied, so checking again while it runs changes nothing.
  void StartDownload(bool programValid, const CodeImage& code, const VectorTable& vectors,
                     std::string_view programPath);
  DownloadResult Download() const { return download_; }

  // The switches beside the message list.
  void ScriptSwitch();
  void DebugSwitch();

  // The direct-control tab. The motor group's write buttons are plain requests
  // (state::Speed ...): the engine reads and checks their boxes when it sends.
  void PressMove();
  void PressReadSettings();
  void PressDirection(bool right);
  void PressParameterWrite(int prm);  // 9..25
  void PressOutput(int output);       // 1, 2
  void PressMemoryRead();
  void PressServiceRead();

  const LinkVariables& Variables() const { return v_; }
  int Interval() const { return interval_; }
  Colour ShapeColour(int shape) const;
  const ExchangeRecord& LastExchange() const { return exchange_; }
  // Accepted status replies so far, and the last of them.
  std::uint64_t StatusCount() const { return statusCount_; }
  const StatusReply& LastStatus() const { return lastStatus_; }
  // Bytes received and not yet taken: the start of a reply still arriving.
  std::span<const std::uint8_t> Received() const { return {rx_.data(), rxUsed_}; }

 private:
  // Tick parts.
  void StepState();
  void ReadStep();
  bool ReadWaiting();
  std::size_t RestOfArrivingReply();
  void Evaluate();
  void EvaluateReply(std::span<const std::uint8_t> frame);
  void Take(std::size_t n);
  void ClearReceived();
  void Answered();
  void MarkDown();
  void LinkOff(bool waitForDevice);

  // Sending. False when the port refused; the error is reported once until a send
  // succeeds, and nothing is read as an answer to a frame that did not go out.
  bool Send(const Frame& frame);
  bool SendAndExpect(const Frame& frame, ReplyState reply, bool flush = false);
  void SendRefused();
  void SetInterval(int ms);
  void PortError(const char* what);

  // Command exchanges.
  void StatusResult();
  void WaitRule(std::uint8_t sendState);
  void MoveWait();
  void SendPlain(std::uint8_t sendState);
  void SendBoxValue(std::uint8_t sendState);
  void SendMemoryRead();
  void SendMemoryWrite();
  void SendParameter(std::uint8_t sendState);
  void EndExchange(ExchangeOutcome outcome);
  void BackToPolling();

  // Download.
  bool Downloading() const { return download_ == DownloadResult::Running; }
  void StepDownload();
  void DownloadFailed(bool resetBar);
  void AbandonDownload();

  // Status displays.
  void ShowStatus(const StatusReply& s);
  void ShowDisconnected();
  void SetShape(int shape, Colour colour);
  void SetConnection(Colour colour);
  void UpdateStatus();

  // Replies into boxes.
  void ShowMotorSettings(const MotorSettings& m);
  void ShowParameterBlock(const ParameterBlock& p);

  // Messages wait until the tick or handler has settled the engine's state.
  void Queue(MessageKind kind, std::string_view text);
  void FlushMessages();

  Port& port_;
  LinkView& view_;
  AppHooks& hooks_;
  IntervalTimer& timer_;
  bool english_ = false;
  LinkVariables v_;
  int interval_ = 100;
  // The bytes read and not yet taken; a whole reply always fits.
  std::array<std::uint8_t, FrameCapacity> rx_{};
  std::size_t rxUsed_ = 0;
  // How many of them came before the last frame went out: no acknowledgement of it, and
  // no wrong answer to it either.
  std::size_t staleBytes_ = 0;
  // Bytes still to come of a reply that a flush cut in two.
  std::size_t cutRest_ = 0;
  // Set by the rules that give the driver up after repeated failures; until a reply is
  // accepted, bytes that keep coming do not turn the indicators lime again.
  bool givenUp_ = false;
  bool waitingForDevice_ = false;
  LinkStatus status_ = LinkStatus::PortClosed;
  std::array<Colour, 27> shapes_{};

  CodeImage code_{};
  VectorTable vectors_{};
  std::string programName_;
  std::uint32_t progress_ = 0;
  DownloadResult download_ = DownloadResult::None;

  ExchangeRecord exchange_;
  std::uint64_t statusCount_ = 0;
  StatusReply lastStatus_{};
  std::optional<std::string> lastPortError_;
  std::vector<std::pair<MessageKind, std::string>> messages_;
};

}  // namespace kivra::link
