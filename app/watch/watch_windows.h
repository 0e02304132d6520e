#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QTimer;
class QWidget;

namespace kivra::app {

class DriverSide;
class FrameInspector;
class LinkWatch;
class LivePlots;
class Prompts;
class SimulatorPanel;
class UiLanguage;

// Watching the link from the main window: the frame inspector, the live plots, the status
// recording and the simulated driver's panel, opened from the settings menu, and the health
// meter beside the tool bar's status text. All of it is added to the window: no control of
// its own moves or changes.
class WatchWindows final : public QObject {
  Q_OBJECT
 public:
  // The meter goes left of `statusText`, in the row that holds it.
  WatchWindows(QWidget* mainWindow, QMenu* settingsMenu, QLabel* statusText, DriverSide& link,
               const UiLanguage& language, Prompts& prompts);
  ~WatchWindows() override;

  void LanguageChanged();
  // Redraws the meter now rather than at its next refresh.
  void RefreshMeter();

  LinkWatch& watch() const { return *watch_; }
  FrameInspector* inspector() const { return inspector_; }
  LivePlots* plots() const { return plots_; }
  // Null where there is no simulated driver (Windows).
  SimulatorPanel* simulatorPanel() const { return panel_; }
  QLabel* meter() const { return meter_; }
  // The recording command with its file already chosen.
  bool StartRecording(const QString& path);

 private:
  void AddMenu(QMenu* settings);
  void AddMeter(QLabel* statusText);
  void AskAndRecord();

  QWidget* mainWindow_;
  DriverSide& link_;
  const UiLanguage& language_;
  Prompts& prompts_;
  std::unique_ptr<LinkWatch> watch_;
  FrameInspector* inspector_ = nullptr;
  LivePlots* plots_ = nullptr;
  SimulatorPanel* panel_ = nullptr;
  QLabel* meter_ = nullptr;
  QString meterText_;  // what the meter shows
  QString meterTip_;
  QTimer* meterTimer_ = nullptr;
  QAction* recordStart_ = nullptr;
  QAction* recordStop_ = nullptr;
};

}  // namespace kivra::app
