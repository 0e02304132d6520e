#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/simulated_driver.h"
#include "compiler/compile.h"
#include "link/engine.h"
#include "link/frame_tap.h"
#include "link/port_selection.h"
#include "link/view.h"

class QLabel;

namespace kivra::app {

class DirectControlPage;
class DownloadWindow;
class DriverPort;
class PortDialog;
class ProgramPage;
class Prompts;
class SettingsStore;
class UiLanguage;

// `Timer1`: steps the link engine with the interval the engine asks for. Changing the
// interval of a running QTimer restarts its period, as the engine expects.
class LinkTimer final : public QTimer, public link::IntervalTimer {
 public:
  explicit LinkTimer(QObject* parent);
  void SetInterval(int milliseconds) override { setInterval(milliseconds); }
};

// The windows whose controls the link draws into and reads.
struct DriverLinkWindows {
  QWidget* mainWindow;  // `TForm1`: the engine's controls are found here by object name
  ProgramPage* programPage;
  DirectControlPage* directPage;
  PortDialog* portDialog;
  DownloadWindow* download;
};

// What the debug switch and the debug display ask of the shell.
struct DriverLinkHooks {
  std::function<bool()> sourceEdited;
  std::function<void()> clearSourceEdited;
  std::function<bool()> checkProgram;  // true when the check gave a valid program
  std::function<bool()> saveProgram;   // true when the save succeeded
  std::function<void()> reloadProgram;
  std::function<std::uint32_t(std::uint16_t)> lineAtAddress;
};

// The driver side of the main window: owns `Timer1`, the serial port, the simulated
// driver, the link engine and the port selection, draws what the engine decides into the
// window's controls (found by their object names), and forwards the buttons, the output
// lamps and the port dialog to the engine. It never talks to the line itself: every
// exchange happens in the engine's ticks.
class DriverLink final : public QObject,
                         private link::LinkView,
                         private link::AppHooks,
                         private link::PortDialogView,
                         private link::SettingsStore {
  Q_OBJECT
 public:
  struct Options {
    // The port to use instead of the machine's serial ports (tests); not owned.
    DriverPort* port = nullptr;
    // Connect to the simulated driver for this run, whatever COMPORT says, and leave
    // COMPORT as it is.
    bool simulatedDriver = false;
    // Where the serial port's diagnostic log goes; empty: the working directory.
    std::string serialLogFolder{};
  };

  DriverLink(DriverLinkWindows windows, DriverLinkHooks hooks, app::SettingsStore& settings, Prompts& prompts,
             const UiLanguage& language, Options options);
  ~DriverLink() override;

  // The main window's show step: idle with polling, then the remembered port opened.
  void StartUp();
  void LanguageChanged();
  // The download button, with the last check's result and the program's path.
  void StartDownload(const compiler::CompileResult& check, const QString& programPath);
  // The settings menu's "Com Port ..." item.
  void ShowPortDialog();

  link::LinkEngine& engine() { return *engine_; }

 signals:
  // The progress window closed: the driver acknowledged the whole program, or not.
  void DownloadEnded(bool succeeded);

 public:
  const link::PortSelection& selection() const { return *selection_; }
  LinkTimer* timer() const { return timer_; }
  SimulatedDriver& simulatedDriver() { return simulated_; }
  // Every frame between the engine and the port, for the watch windows; its clock counts
  // milliseconds from the link's creation.
  link::FrameTap& frameTap() { return *tap_; }
  std::int64_t WatchMs() const { return watchClock_.elapsed(); }
  // The port in use is the simulated driver's.
  bool OnSimulatedDriver() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // LinkView
  void SetColour(std::string_view control, link::Colour colour) override;
  void ShowLinkStatus(link::LinkStatus status) override;
  void SetText(std::string_view control, std::string_view utf8) override;
  void ShowMessage(link::MessageKind kind, std::string_view utf8) override;
  void ShowProgress(std::string_view caption, std::uint32_t maximum) override;
  void SetProgressPosition(std::uint32_t position) override;
  void HideProgress() override;
  void SelectEditorLine(std::uint32_t line) override;
  void SetEditorReadOnly(bool readOnly) override;
  void FocusEditor() override;
  // AppHooks
  std::string BoxText(std::string_view box) override;
  bool SourceEdited() override { return hooks_.sourceEdited(); }
  void ClearSourceEdited() override { hooks_.clearSourceEdited(); }
  bool CheckProgram() override { return hooks_.checkProgram(); }
  bool SaveProgram() override { return hooks_.saveProgram(); }
  void ReloadProgram() override { hooks_.reloadProgram(); }
  std::uint32_t LineAtAddress(std::uint16_t address) override { return hooks_.lineAtAddress(address); }
  // PortDialogView
  void SetDialogVisible(bool visible) override;
  void SetNumberText(std::string_view text) override;
  void SetCancelCaption(std::string_view text) override;
  // SettingsStore, as the port selection sees it
  std::string ReadSetting(std::string_view name, std::string_view defaultValue) override;
  void WriteSetting(std::string_view name, std::string_view value) override;

  void ConnectButtons();
  void ConnectMemoryAccess();
  QObject* Control(std::string_view name);
  void PortChosen(const QString& port);
  // The port to hand the link for a stored or chosen port text: the simulated driver's
  // path for "SIM" (started on the way), the text itself otherwise.
  QString ResolvePort(const QString& port);
  void RefreshPortList();
  // The link's state in words beside both connection indicators, in the current language.
  void AddLinkStatusLabels();
  void DrawLinkStatus();

  DriverLinkWindows windows_;
  DriverLinkHooks hooks_;
  app::SettingsStore& settings_;
  Prompts& prompts_;
  const UiLanguage& language_;
  bool simulatedForThisRun_;

  LinkTimer* timer_;
  SimulatedDriver simulated_;
  std::unique_ptr<DriverPort> ownPort_;
  DriverPort* port_;
  QElapsedTimer watchClock_;
  std::unique_ptr<link::FrameTap> tap_;
  std::unique_ptr<link::LinkEngine> engine_;
  std::unique_ptr<link::PortSelection> selection_;
  QHash<QString, QObject*> controls_;
  link::LinkStatus linkStatus_ = link::LinkStatus::PortClosed;
  QList<QLabel*> linkStatusLabels_;
};

}  // namespace kivra::app
