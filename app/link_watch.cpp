#include "app/link_watch.h"

#include "link/frames.h"

namespace kivra::app {
namespace {

// More than ten minutes of replies at the fastest the driver answers; a flood of replies
// cannot grow the history past it.
constexpr std::size_t kMaxHistory = 60'000;

}  // namespace

LinkWatch::LinkWatch(Clock clock, WallClock wallClock, QObject* parent)
    : QObject(parent), clock_(std::move(clock)), wallClock_(std::move(wallClock)) {}

LinkWatch::~LinkWatch() = default;

void LinkWatch::OnFrame(const link::LineEvent& e) {
  events_.Push(e);
  meter_.Add(e);
  if (e.direction == link::Direction::Received && e.outcome == link::FrameOutcome::Accepted &&
      e.IsStatusPoll()) {
    if (const auto status = link::DecodeStatus(e.bytes))
      AddStatus({e.timeMs, wallClock_(), *status});
  }
}

void LinkWatch::AddStatus(const link::StatusSample& sample) {
  connected_ = true;
  ++statusCount_;
  history_.push_back(sample);
  while (!history_.empty() &&
         (history_.size() > kMaxHistory || history_.front().timeMs < sample.timeMs - kHistoryMs)) {
    history_.pop_front();
  }
  if (recorder_ && !recorder_->Record(sample)) WriteFailed();
}

void LinkWatch::AfterTick(bool connected, link::LinkStatus status) {
  if (connected_ && !connected && recorder_ && !recorder_->Gap(clock_(), wallClock_()))
    WriteFailed();
  connected_ = connected;
  if (static_cast<int>(status) != linkStatus_) {
    linkStatus_ = static_cast<int>(status);
    link::LineEvent e{.timeMs = clock_(), .outcome = link::FrameOutcome::Link, .bytes = {}};
    e.linkStatus = static_cast<std::int8_t>(status);
    events_.Push(std::move(e));
  }
}

bool LinkWatch::StartRecording(const QString& path, QString* error) {
  StopRecording();
  auto file = std::make_unique<link::FileLineWriter>(path.toStdString());
  auto recorder = std::make_unique<link::StatusRecorder>(*file, link::RecordFormat::Csv);
  if (!file->Open() || !recorder->Start()) {
    if (error) *error = QString::fromStdString(file->Error());
    return false;
  }
  // Started while the driver is away: the recording opens with its gap.
  if (!connected_) recorder->Gap(clock_(), wallClock_());
  file_ = std::move(file);
  recorder_ = std::move(recorder);
  recordingPath_ = path;
  emit RecordingChanged(true);
  return true;
}

void LinkWatch::StopRecording() {
  if (!recorder_) return;
  recorder_.reset();
  file_.reset();
  emit RecordingChanged(false);
}

void LinkWatch::WriteFailed() {
  const QString reason = QString::fromStdString(file_->Error());
  const QString path = recordingPath_;
  StopRecording();
  emit RecordingFailed(path, reason);
}

}  // namespace kivra::app
