#pragma once

// Scripted stand-ins for the engine's surroundings: a port whose received bytes the test
// feeds and whose sent bytes it reads back, an observer that records the facts it is told,
// and a timer that records the intervals asked for.

#include <deque>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "link/engine.h"
#include "link/facts.h"
#include "link/frames.h"
#include "link/port.h"

namespace kivra::link::testing {

// Bytes received are stamped with the port's clock when the test hands them over, and a
// frame leaves when it is sent; the Rig moves the clock by the interval on every tick, as a
// timer would.
class FakePort : public Port {
 public:
  std::uint64_t Send(std::span<const std::uint8_t> bytes) override {
    if (failPut) throw std::runtime_error(failPut);
    if (refuseBlocks > 0) {
      --refuseBlocks;
      throw std::runtime_error("Output buffer too small for block");
    }
    sent.insert(sent.end(), bytes.begin(), bytes.end());
    leftAt.push_back(nowUs);
    return leftAt.size();
  }
  std::optional<MonoTime> LeftAt(std::uint64_t ticket) override {
    if (ticket == 0 || ticket > leftAt.size()) return std::nullopt;
    return leftAt[ticket - 1];
  }
  void Receive(std::vector<std::uint8_t>& bytes, std::vector<MonoTime>& times,
               std::size_t max) override {
    for (std::size_t i = 0; i < max && !incoming.empty(); ++i) {
      bytes.push_back(incoming.front().first);
      times.push_back(incoming.front().second);
      incoming.pop_front();
    }
  }
  void FlushInBuffer() override {
    ++flushes;
    incoming.clear();
  }
  MonoTime Now() override { return nowUs; }

  void Receive(const std::vector<std::uint8_t>& bytes) {
    for (auto b : bytes) incoming.emplace_back(b, nowUs);
  }
  // Bytes that arrived at a given moment (for replies that came before their request left).
  void ReceiveAt(const std::vector<std::uint8_t>& bytes, MonoTime at) {
    for (auto b : bytes) incoming.emplace_back(b, at);
  }
  std::size_t Waiting() const { return incoming.size(); }

  // The frames sent since the last call, split by their length bytes.
  std::vector<Frame> TakeFrames() {
    std::vector<Frame> frames;
    std::size_t i = 0;
    while (i < sent.size()) {
      const std::size_t len = std::max<std::size_t>(sent[i], 1);
      frames.emplace_back(sent.begin() + i, sent.begin() + std::min(sent.size(), i + len));
      i += len;
    }
    sent.clear();
    return frames;
  }

  std::vector<std::uint8_t> sent;
  std::deque<std::pair<std::uint8_t, MonoTime>> incoming;
  std::vector<MonoTime> leftAt;
  MonoTime nowUs = 1'000'000;
  int flushes = 0;
  const char* failPut = nullptr;
  int refuseBlocks = 0;  // the next n frames are refused
};

// Records every fact the engine tells, as the tests read them.
class Recorder : public LinkObserver {
 public:
  void OnLinkStatus(LinkStatus s) override { statuses.push_back(s); }
  void OnStatus(const StatusReply& s) override {
    replies.push_back(s);
    statusKnown = true;
  }
  void OnStatusLost() override {
    ++lost;
    statusKnown = false;
  }
  void OnDebugLine(std::uint32_t line) override { debugLines.push_back(line); }
  void OnMotorSettings(const MotorSettings& m) override { motorSettings = m; }
  void OnParameterBlock(const ParameterBlock& p) override { parameters = p; }
  void OnMemoryValue(std::uint8_t v) override { memoryValue = v; }
  void OnServiceValues(const ServiceValues& v) override { serviceValues = v; }
  void OnProgramName(std::string_view name) override { programName = name; }
  void OnValueSent(Setting s, std::int32_t v) override { valuesSent.emplace_back(s, v); }
  void OnExchange(const ExchangeRecord& e) override { exchanges.push_back(e); }
  void OnDownload(const DownloadProgress& p) override {
    downloads.push_back(p);
    switch (p.stage) {
      case DownloadProgress::Stage::Started:
        progressVisible = true;
        progressMax = p.maximum;
        positions.push_back(0);
        break;
      case DownloadProgress::Stage::Position:
        positions.push_back(p.position);
        break;
      case DownloadProgress::Stage::Ended:
        progressVisible = false;
        if (p.resetBar) positions.push_back(0);
        break;
    }
  }
  void OnNotice(Notice n, std::string_view detail) override {
    notices.push_back({n, std::string(detail)});
  }
  void OnFrame(const FrameRecord& f) override {
    frames.push_back({f.event, f.why, Frame(f.bytes.begin(), f.bytes.end()), f.timeMs, f.state,
                      f.attempt, f.attempts, f.roundTripMs});
  }

  // The connection lamps are lit.
  bool Lit() const { return !statuses.empty() && statuses.back() == LinkStatus::Answering; }
  std::uint32_t ProgressPosition() const { return positions.empty() ? 0 : positions.back(); }
  std::vector<Notice> NoticeKinds() const {
    std::vector<Notice> kinds;
    for (const auto& n : notices) kinds.push_back(n.notice);
    return kinds;
  }

  struct NoticeRecord {
    Notice notice;
    std::string detail;
  };
  struct FrameCopy {
    FrameEvent event;
    FrameFailure why;
    Frame bytes;
    std::uint64_t timeMs;
    LinkState state;
    int attempt;
    int attempts;
    std::uint32_t roundTripMs;
  };
  std::vector<LinkStatus> statuses;
  std::vector<StatusReply> replies;
  int lost = 0;
  bool statusKnown = false;
  std::vector<std::uint32_t> debugLines;
  std::optional<MotorSettings> motorSettings;
  std::optional<ParameterBlock> parameters;
  std::optional<std::uint8_t> memoryValue;
  std::optional<ServiceValues> serviceValues;
  std::string programName;
  std::vector<std::pair<Setting, std::int32_t>> valuesSent;
  std::vector<ExchangeRecord> exchanges;
  std::vector<DownloadProgress> downloads;
  bool progressVisible = false;
  std::uint32_t progressMax = 0;
  std::vector<std::uint32_t> positions;
  std::vector<NoticeRecord> notices;
  std::vector<FrameCopy> frames;
};

// A clock the test moves.
class FakeClock : public Clock {
 public:
  std::uint64_t NowMs() override { return now; }
  std::uint64_t now = 0;
};

class FakeTimer : public IntervalTimer {
 public:
  void SetInterval(int ms) override { changes.push_back(ms); }
  std::vector<int> changes;
};

// Replies as the driver sends them.
inline Frame Reply(char letter, const std::vector<std::uint8_t>& payload) {
  Frame f;
  f.reserve(payload.size() + 3);
  f.push_back(static_cast<std::uint8_t>(payload.size() + 3));
  f.push_back(static_cast<std::uint8_t>(letter));
  for (auto b : payload) f.push_back(b);
  f.push_back(Xor(f));
  return f;
}

// A 16-byte status reply.
inline Frame StatusFrame(std::uint8_t io = 0, std::uint8_t mode = 0, std::uint16_t address = 0,
                         std::uint8_t analog1 = 0, std::uint8_t analog2 = 0,
                         std::uint8_t temperature = 25) {
  return Reply(
      's', {io, analog1, analog2, mode, temperature, 12, 0, static_cast<std::uint8_t>(address >> 8),
            static_cast<std::uint8_t>(address), 0, 0, 0, 0});
}

struct Rig {
  FakePort port;
  Recorder seen;
  FakeTimer timer;
  FakeClock clock;
  LinkEngine engine{port, timer, &clock};

  Rig() {
    engine.AddObserver(seen);
    engine.SetLinkEnabled(true);
  }
  void Tick(int n = 1) {
    for (int i = 0; i < n; ++i) {
      port.nowUs += engine.Progress().intervalMs * 1000;
      engine.Tick();
    }
  }
  const LinkVariables& v() const { return engine.Variables(); }
  // Polls once with the driver answering: request, reply read, result taken.
  void PollOnce(const Frame& status = StatusFrame()) {
    Tick();  // sends 's'
    port.Receive(status);
    Tick();  // reads it
    Tick();  // back to idle
    port.TakeFrames();
  }
};

}  // namespace kivra::link::testing
