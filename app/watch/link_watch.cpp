#include "app/watch/link_watch.h"

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
}

void LinkWatch::OnStatus(const link::StatusReply& status) {
  AddStatus({clock_(), wallClock_(), status});
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

void LinkWatch::OnLinkStatus(link::LinkStatus status) {
  const bool connected = status == link::LinkStatus::Answering;
  if (connected_ && !connected && recorder_ && !recorder_->Gap(clock_(), wallClock_()))
    WriteFailed();
  connected_ = connected;
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
