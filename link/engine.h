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
#include "link/facts.h"
#include "link/frames.h"
#include "link/port.h"
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

// The exchange that writes `setting`: the request an ExchangeRecord names for it.
LinkState WriteStateOf(Setting setting);

class LinkEngine {
 public:
  // `clock` times the frame records; without one the engine uses the monotonic clock.
  LinkEngine(Port& port, IntervalTimer& timer, Clock* clock = nullptr);

  // Observers are told every fact from now on; they must outlive the engine or be removed.
  void AddObserver(LinkObserver& observer);
  void RemoveObserver(LinkObserver& observer);

  // One tick of the timer.
  void Tick();

  // Requests. Each replaces the exchange in progress (an unfinished download that it
  // replaces is reported as failed); the next tick sends its frame. Values are checked
  // when the frame is built, by the one check of each value (link/values.h).
  void WriteSetting(Setting setting, Entered value);
  // Prm 9..25; without a number nothing is sent and the user is told so at once.
  void WriteParameter(int prm, Entered value);
  void ReadSettings();
  void ReadParameters();
  void ReadServiceValues();
  void ReadProgramName();
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

  // Debugging: while on and the driver's script runs, each status reply's code address is
  // told as the program line of the instruction there (OnDebugLine).
  void EnableDebug(const AddressLines& lines);
  void DisableDebug();

  // On: the port is open; the engine starts from idle with status polling, so a request
  // made while the link was off is never sent. Off: nothing is sent any more; the
  // exchange in progress ends (a download is reported as failed), the connection is down
  // and the live values are no longer known.
  void SetLinkEnabled(bool enabled);
  bool LinkEnabled() const { return v_.linkEnabled; }
  // The port's device went away (adapter pulled, line hung up): the link is off as above
  // and waits for the device; the status says so until PortRestored() or another port.
  void PortLost();
  // The device is back and open: status polling only.
  void PortRestored() { SetLinkEnabled(true); }
  LinkStatus Status() const { return status_; }

  DownloadResult DownloadState() const { return download_; }
  const LinkVariables& Variables() const { return v_; }
  int Interval() const { return interval_; }
  const ExchangeRecord& LastExchange() const { return exchange_; }
  // Accepted status replies so far, and the last of them.
  std::uint64_t StatusCount() const { return statusCount_; }
  const StatusReply& LastStatus() const { return lastStatus_; }
  // Bytes received and not yet taken: the start of a reply still arriving.
  std::span<const std::uint8_t> Received() const { return {rx_.data(), rxUsed_}; }

 private:
  void Request(LinkState firstState);

  // Tick parts.
  void StepState();
  void ReadStep();
  bool ReadWaiting();
  std::size_t RestOfArrivingReply();
  void Evaluate();
  void EvaluateReply(std::span<const std::uint8_t> frame);
  void Take(std::size_t n);
  void ClearReceived();
  void Answered(std::span<const std::uint8_t> reply);
  void ReplyFailed(FrameFailure why, std::span<const std::uint8_t> bytes);
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
  void WaitRule(LinkState sendState);
  void MoveWait();
  void SendPlain(LinkState sendState);
  void SendSetting(LinkState sendState);
  void SendMemoryRead();
  void SendMemoryWrite();
  void SendParameter(LinkState sendState);
  void EndExchange(ExchangeOutcome outcome, Refusal refusal = Refusal::None);
  void SetExchange(const ExchangeRecord& record);
  void BackToPolling();

  // Download.
  bool Downloading() const { return download_ == DownloadResult::Running; }
  void StepDownload();
  void DownloadFailed(bool resetBar);
  void AbandonDownload();
  void DownloadPosition(std::uint32_t position);
  void DownloadEnded(DownloadResult result, bool resetBar);

  // Status.
  void StatusAccepted(const StatusReply& s);
  void StatusLost();
  void SetConnected(bool connected);
  void UpdateStatus();

  // Telling the observers.
  template <typename F>
  void Tell(F&& f) {
    // By index: an observer may remove itself while it is told.
    for (std::size_t i = 0; i < observers_.size(); ++i) f(*observers_[i]);
  }
  void TellFrame(FrameEvent event, FrameFailure why, std::span<const std::uint8_t> bytes);
  std::uint64_t NowMs();
  // Notices wait until the tick or request has settled the engine's state.
  void Queue(Notice notice, std::string_view detail = {});
  void FlushNotices();

  Port& port_;
  IntervalTimer& timer_;
  Clock* clock_;
  std::vector<LinkObserver*> observers_;
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
  // accepted, bytes that keep coming do not mark the driver as answering again.
  bool givenUp_ = false;
  bool waitingForDevice_ = false;
  LinkStatus status_ = LinkStatus::PortClosed;
  std::uint64_t sentAtMs_ = 0;
  // The last status poll failed: the next is its retry. The retry count itself goes on
  // counting failed polls until the driver is given up, answered ones in between.
  bool pollFailed_ = false;

  // The operands of the requested exchange, checked when its frame is built.
  Setting setting_ = Setting::Speed;
  Entered settingValue_;
  std::uint16_t memoryAddress_ = 1;
  Entered writeAddress_;
  Entered writeData_;
  AddressLines addressLines_{};

  CodeImage code_{};
  VectorTable vectors_{};
  std::string programName_;
  std::uint32_t progress_ = 0;
  DownloadResult download_ = DownloadResult::None;

  ExchangeRecord exchange_;
  std::uint64_t statusCount_ = 0;
  StatusReply lastStatus_{};
  std::optional<std::string> lastPortError_;
  std::vector<std::pair<Notice, std::string>> notices_;
};

}  // namespace kivra::link
