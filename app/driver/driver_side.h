#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/driver/simulated_driver.h"
#include "app/ui/controls.h"
#include "common/code_image.h"
#include "compiler/compile.h"
#include "link/engine.h"
#include "link/line_feed.h"
#include "link/link_stack.h"
#include "link/port_selection.h"

class QLabel;

namespace kivra::app {

class DirectControlPage;
class DownloadWindow;
class EngineSettingsExchange;
class LinkPresenter;
class PortDialog;
class ProgramEditor;
class Prompts;
class SettingsFiles;
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
struct DriverSideWindows {
  QWidget* mainWindow;    // `TForm1`: the controls of the registry are found here
  ProgramEditor* editor;  // `RichEdit1`: debugging selects the line the driver executes
  DirectControlPage* directPage;
  PortDialog* portDialog;
  DownloadWindow* download;
  QLabel* statusText;  // the tool bar's status text
};

// What the debug switch asks of the shell before debugging starts: the program in the
// editor checked, saved and loaded again when it was edited (the shell's own rules), and
// the address lines of its last check; nothing when debugging must not start.
using PrepareDebug = std::function<std::optional<AddressLines>()>;

// The driver side of the main window: owns `Timer1`, the serial port, the simulated
// driver, the link engine, the port selection and the presenter that draws what they
// report; turns the buttons, the output lamps and the port dialog into typed requests, and
// runs the direct-control page's parameter files over the same engine.
// It never talks to the line itself: every exchange happens in the engine's ticks.
class DriverSide final : public QObject, private link::SettingsStore {
  Q_OBJECT
 public:
  struct Options {
    // The port to use instead of the machine's serial ports (tests); not owned.
    link::LinePort* port = nullptr;
    // Connect to the simulated driver for this run, whatever COMPORT says, and leave
    // COMPORT as it is.
    bool simulatedDriver = false;
    // Where the serial port's diagnostic log goes; empty: the working directory.
    std::string serialLogFolder{};
  };

  DriverSide(DriverSideWindows windows, PrepareDebug prepareDebug, app::SettingsStore& settings,
             Prompts& prompts, const UiLanguage& language, Options options);
  ~DriverSide() override;

  // The main window's show step: idle with polling, then the remembered port opened.
  void StartUp();
  void LanguageChanged();
  // The download button, with the last check's result and the program's path.
  void StartDownload(const compiler::CompileResult& check, const QString& programPath);
  // The settings menu's "Com Port ..." item.
  void ShowPortDialog();
  // The program on screen is no longer the one the last download sent.
  void ProgramReplaced();
  // A check gave new address lines; debugging that is on follows them.
  void AddressLinesChanged(const AddressLines& lines);

  link::LinkEngine& engine() { return *engine_; }
  const link::PortSelection& selection() const { return *selection_; }
  LinkTimer* timer() const { return timer_; }
  SimulatedDriver& simulatedDriver() { return simulated_; }
  const ControlMap& controls() const { return controls_; }
  // Every frame on the line as the engine judged it, for the watch windows; its clock
  // counts milliseconds from the link's creation.
  link::LineFeed& lineFeed() { return stack_->Feed(); }
  std::int64_t WatchMs() const { return stack_->ElapsedMs(); }
  // The port in use is the simulated driver's.
  bool OnSimulatedDriver() const;

  // How long a first start waits for a driver's answer before it offers help with the port.
  static constexpr int kFirstAnswerMs = 2000;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // SettingsStore, as the port selection sees it
  std::string ReadSetting(std::string_view name, std::string_view defaultValue) override;
  void WriteSetting(std::string_view name, std::string_view value) override;

  void ConnectButtons();
  void ConnectMemoryAccess();
  void OnClick(Control button, std::function<void()> press);
  // The integer in a box, nothing when it holds none.
  link::Entered BoxValue(Control box) const;
  void ScriptSwitch();
  void DebugSwitch();
  void PortChosen(const QString& port);
  // A click on a link of the first start's offer.
  void FollowOffer(const QString& link);
  // The port to hand the link for a stored or chosen port text: the simulated driver's
  // path for "SIM" (started on the way), the text itself otherwise.
  QString ResolvePort(const QString& port);
  // The port the link uses, as the port boxes and the dialog show it ("SIM" for the
  // simulated driver).
  QString PortInUse() const;
  void RefreshPortList();

  DriverSideWindows windows_;
  PrepareDebug prepareDebug_;
  app::SettingsStore& settings_;
  Prompts& prompts_;
  const UiLanguage& language_;
  bool simulatedForThisRun_;
  bool portChosen_ = false;  // in the port dialog, the prompt or the offer, this run

  LinkTimer* timer_;
  SimulatedDriver simulated_;
  ControlMap controls_;
  std::unique_ptr<LinkPresenter> presenter_;
  std::unique_ptr<link::LinkStack> stack_;
  link::LinkEngine* engine_ = nullptr;
  link::PortSelection* selection_ = nullptr;
  link::LinePort* port_ = nullptr;
  std::unique_ptr<EngineSettingsExchange> settingsExchange_;
  SettingsFiles* settingsFiles_ = nullptr;
};

}  // namespace kivra::app
