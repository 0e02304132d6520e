#include "app/watch/watch_windows.h"

#include <QAction>
#include <QBoxLayout>
#include <QDateTime>
#include <QLabel>
#include <QMenu>
#include <QTimer>

#include "app/driver/driver_side.h"
#include "app/ui/captions.h"
#include "app/ui/prompts.h"
#include "app/ui/texts.h"
#include "app/ui/ui_language.h"
#include "app/watch/frame_window.h"
#include "app/watch/link_watch.h"
#include "app/watch/live_plots.h"
#include "app/watch/simulator_panel.h"

namespace kivra::app {
namespace {

constexpr int kMeterMs = 500;

void Open(QWidget* window) {
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace

WatchWindows::WatchWindows(QWidget* mainWindow, QMenu* settingsMenu, QLabel* statusText,
                           DriverSide& link, const UiLanguage& language, Prompts& prompts)
    : QObject(mainWindow),
      mainWindow_(mainWindow),
      link_(link),
      language_(language),
      prompts_(prompts) {
  watch_ = std::make_unique<LinkWatch>([&link] { return link.WatchMs(); },
                                       [] { return QDateTime::currentMSecsSinceEpoch(); });
  link.lineFeed().AddListener(watch_.get());
  link.engine().AddObserver(*watch_);

  inspector_ = new FrameInspector(*watch_, language, prompts, mainWindow);
  plots_ = new LivePlots(*watch_, language, prompts, mainWindow);
  if constexpr (SimulatedDriver::kOnThisSystem) {
    panel_ = new SimulatorPanel(
        [&link]() -> sim::Simulator* {
          return link.OnSimulatedDriver() ? link.simulatedDriver().simulator() : nullptr;
        },
        language, mainWindow);
  }
  AddMenu(settingsMenu);
  AddMeter(statusText);
  connect(watch_.get(), &LinkWatch::RecordingChanged, this, [this](bool recording) {
    recordStart_->setEnabled(!recording);
    recordStop_->setEnabled(recording);
    RefreshMeter();
  });
  connect(watch_.get(), &LinkWatch::RecordingFailed, this,
          [this](const QString& path, const QString& reason) {
            prompts_.Show(mainWindow_, MessageKind::Error,
                          language_.Pick(texts::kRecordStopped) + QLatin1Char('\n') + path +
                              QLatin1Char('\n') + reason,
                          Buttons::Ok);
          });
  LanguageChanged();
}

WatchWindows::~WatchWindows() {
  link_.engine().RemoveObserver(*watch_);
  link_.lineFeed().RemoveListener(watch_.get());
}

void WatchWindows::AddMenu(QMenu* settings) {
  settings->addSeparator();
  const auto add = [&](Control item, auto slot) {
    QAction* action = settings->addAction(QString());
    action->setObjectName(ObjectName(item));
    connect(action, &QAction::triggered, this, slot);
    return action;
  };
  add(Control::FrameInspectorItem, [this] { Open(inspector_); });
  add(Control::LivePlotsItem, [this] { Open(plots_); });
  recordStart_ = add(Control::RecordStartItem, [this] { AskAndRecord(); });
  recordStop_ = add(Control::RecordStopItem, [this] { watch_->StopRecording(); });
  recordStop_->setEnabled(false);
  if constexpr (SimulatedDriver::kOnThisSystem)
    add(Control::SimulatorPanelItem, [this] { Open(panel_); });
}

void WatchWindows::AddMeter(QLabel* statusText) {
  // In the tool bar's row, left of the status text, in the room its stretch leaves.
  QWidget* bar = statusText->parentWidget();
  meter_ = new QLabel(bar);
  meter_->setObjectName(QStringLiteral("PollRateText"));
  meter_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  if (auto* row = qobject_cast<QBoxLayout*>(bar->layout())) {
    row->insertWidget(row->indexOf(statusText), meter_);
    row->insertSpacing(row->indexOf(statusText), 16);
  }
  meterTimer_ = new QTimer(this);
  meterTimer_->setInterval(kMeterMs);
  connect(meterTimer_, &QTimer::timeout, this, &WatchWindows::RefreshMeter);
  meterTimer_->start();
}

void WatchWindows::RefreshMeter() {
  const link::HealthReading r = watch_->Health();
  QString text = language_.Pick(texts::kMeter)
                     .arg(r.statusPerSecond, 0, 'f', 1)
                     .arg(static_cast<int>(r.failedShare * 100.0 + 0.5));
  QString tip = language_.Pick(texts::kMeterTip);
  if (watch_->Recording()) {
    text += ToQString(texts::kMeterRecording);
    tip += QLatin1Char('\n') + language_.Pick(texts::kRecordingTo) + watch_->RecordingPath();
  }
  if (text != meterText_) meter_->setText(meterText_ = text);
  if (tip != meterTip_) meter_->setToolTip(meterTip_ = tip);
}

void WatchWindows::AskAndRecord() {
  FileDialogRequest request{language_.Pick(texts::kRecordTitle),
                            QString(),
                            QStringLiteral("status.csv"),
                            {language_.Pick(texts::kCsvFilesFilter)},
                            QStringLiteral("csv")};
  if (const auto path = prompts_.SaveFileName(mainWindow_, request)) StartRecording(*path);
}

bool WatchWindows::StartRecording(const QString& path) {
  QString reason;
  if (watch_->StartRecording(path, &reason)) return true;
  prompts_.Show(mainWindow_, MessageKind::Error,
                language_.Pick(texts::kRecordNotStarted) + QLatin1Char('\n') + path +
                    QLatin1Char('\n') + reason,
                Buttons::Ok);
  return false;
}

void WatchWindows::LanguageChanged() {
  ApplyCaptions({mainWindow_, inspector_, plots_, panel_}, language_.Current());
  inspector_->LanguageChanged();
  plots_->LanguageChanged();
  if constexpr (SimulatedDriver::kOnThisSystem) panel_->LanguageChanged();
  RefreshMeter();
}

}  // namespace kivra::app
