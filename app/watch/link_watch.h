#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

#include "link/event_ring.h"
#include "link/facts.h"
#include "link/health_meter.h"
#include "link/line_event.h"
#include "link/status_record.h"

namespace kivra::app {

// What the watch windows share: every frame event (a ring of the last 100,000), the health
// meter, the accepted status replies of the last ten minutes for the plots, and the status
// recording. Fed by the link's frame rows and told by the engine of each accepted status
// reply and of the link's state; it draws nothing itself.
class LinkWatch final : public QObject, public link::FrameListener, public link::LinkObserver {
  Q_OBJECT
 public:
  using Clock = std::function<std::int64_t()>;      // the frame events' milliseconds
  using WallClock = std::function<std::int64_t()>;  // milliseconds since 1970, UTC

  static constexpr std::int64_t kHistoryMs = 10 * 60 * 1000;

  LinkWatch(Clock clock, WallClock wallClock, QObject* parent = nullptr);
  ~LinkWatch() override;

  // The frame rows come from the line feed; the engine's own frame facts are not needed.
  void OnFrame(const link::LineEvent& event) override;
  using link::LinkObserver::OnFrame;
  // The engine's facts: each accepted status reply goes to the plots and the recording; a
  // recording gets its gap where the driver stops answering.
  void OnStatus(const link::StatusReply& status) override;
  void OnLinkStatus(link::LinkStatus status) override;

  const link::EventRing& events() const { return events_; }
  void ClearEvents() { events_.Clear(); }
  link::HealthReading Health() const { return meter_.Read(clock_()); }
  std::int64_t NowMs() const { return clock_(); }
  // The accepted status replies of the last ten minutes, oldest first.
  const std::deque<link::StatusSample>& history() const { return history_; }
  // Counts every status reply ever added, so a view sees what is new.
  std::uint64_t statusCount() const { return statusCount_; }

  // Starts recording every accepted status reply into a new CSV file. False, with the
  // system's reason in `error`, when the file cannot be made.
  bool StartRecording(const QString& path, QString* error);
  void StopRecording();
  bool Recording() const { return recorder_ != nullptr; }
  QString RecordingPath() const { return recordingPath_; }

 signals:
  void RecordingChanged(bool recording);
  // A write failed: the recording stopped; what was written before is in the file.
  void RecordingFailed(const QString& path, const QString& reason);

 private:
  void AddStatus(const link::StatusSample& sample);
  void WriteFailed();

  Clock clock_;
  WallClock wallClock_;
  link::EventRing events_;
  link::HealthMeter meter_;
  std::deque<link::StatusSample> history_;
  std::uint64_t statusCount_ = 0;
  bool connected_ = false;

  std::unique_ptr<link::FileLineWriter> file_;
  std::unique_ptr<link::StatusRecorder> recorder_;
  QString recordingPath_;
};

}  // namespace kivra::app
