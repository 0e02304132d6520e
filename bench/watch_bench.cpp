// Watching the link: what one frame event costs on its way into the frame inspector (from
// the engine's records of a reply read and accepted, through the rows' feed, the watch's
// ring and meter, then the inspector's rows and table, with the ring full so the oldest row
// goes as the new one comes), and what decoding one costs on its own.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTableView>

#include "app/ui/prompts.h"
#include "app/watch/frame_window.h"
#include "app/watch/link_watch.h"
#include "link/decode.h"
#include "link/frames.h"
#include "link/line_feed.h"

namespace {

using kivra::link::LineEvent;

// The inspector asks nothing while it is only appended to.
struct ScriptedPrompts final : kivra::app::Prompts {
  kivra::app::Answer Show(QWidget*, kivra::app::MessageKind, const QString&,
                          kivra::app::Buttons) override {
    return kivra::app::Answer::Ok;
  }
  std::optional<QString> OpenFileName(QWidget*, const kivra::app::FileDialogRequest&) override {
    return {};
  }
  std::optional<QString> SaveFileName(QWidget*, const kivra::app::FileDialogRequest&) override {
    return {};
  }
  std::optional<int> AskLineNumber(QWidget*, const QString&, const QString&, int, int) override {
    return {};
  }
  std::optional<QString> PickPort(QWidget*, const QList<kivra::app::PortChoice>&,
                                  kivra::Language) override {
    return {};
  }
};

LineEvent StatusEvent(std::int64_t ms) {
  LineEvent e{.timeMs = ms,
              .direction = kivra::link::Direction::Received,
              .outcome = kivra::link::FrameOutcome::Accepted,
              .bytes = {}};
  e.bytes = {0x10, 's', 0x41, 12, 200, 0x05, 31, 12, 0, 0, 10, 0, 0, 0, 0, 0};
  e.bytes.back() = kivra::link::Xor(e.bytes);
  e.roundTripMs = 30;
  return e;
}

// One event into a full ring, then the inspector's refresh (rows, table, counts) as if it
// ran after every event: the worst case, since the window refreshes five times a second.
void BM_InspectorAppend(benchmark::State& state) {
  std::int64_t now = 0;
  kivra::app::LinkWatch watch([&] { return now; }, [] { return std::int64_t{0}; });
  kivra::app::UiLanguage language(kivra::Language::English);
  ScriptedPrompts prompts;
  kivra::app::FrameInspector inspector(watch, language, prompts, nullptr);
  inspector.show();
  for (int i = 0; i < 100'000; ++i) watch.OnFrame(StatusEvent(now++));
  inspector.Refresh();
  struct Clock final : kivra::link::Clock {
    std::int64_t& now;
    explicit Clock(std::int64_t& n) : now(n) {}
    std::uint64_t NowMs() override { return static_cast<std::uint64_t>(now); }
  } clock(now);
  kivra::link::LineFeed feed(clock);
  feed.AddListener(&watch);
  const std::vector<std::uint8_t> reply = StatusEvent(0).bytes;
  kivra::link::FrameRecord read{.event = kivra::link::FrameEvent::Received, .bytes = reply};
  kivra::link::FrameRecord accepted{.event = kivra::link::FrameEvent::Accepted, .bytes = reply};
  accepted.roundTripMs = 30;
  for (auto _ : state) {
    read.timeMs = accepted.timeMs = static_cast<std::uint64_t>(now++);
    feed.OnFrame(read);
    feed.OnFrame(accepted);
    inspector.Refresh();
  }
  benchmark::DoNotOptimize(inspector.model()->rowCount());
}
BENCHMARK(BM_InspectorAppend)->Unit(benchmark::kMicrosecond);

// Drawing a row: the decoded meaning and outcome of an event, as the table asks for them.
void BM_DescribeStatusReply(benchmark::State& state) {
  const LineEvent e = StatusEvent(0);
  for (auto _ : state) {
    benchmark::DoNotOptimize(kivra::link::DescribeFrame(
        kivra::link::DecodeFrame(e.bytes, e.direction), kivra::Language::English));
  }
}
BENCHMARK(BM_DescribeStatusReply)->Unit(benchmark::kMicrosecond);

}  // namespace
