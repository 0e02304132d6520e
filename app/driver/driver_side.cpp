#include "app/driver/driver_side.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <exception>

#include "app/driver/download_window.h"
#include "app/driver/engine_settings_exchange.h"
#include "app/driver/link_presenter.h"
#include "app/driver/port_choices.h"
#include "app/driver/port_dialog.h"
#include "app/files/settings_files.h"
#include "app/files/settings_store.h"
#include "app/panels/direct_control_page.h"
#include "app/ui/indicator_shape.h"
#include "app/ui/prompts.h"
#include "app/ui/texts.h"
#include "app/ui/ui_language.h"
#include "common/texts.h"
#include "link/integer.h"
#include "link/link_stack.h"

namespace kivra::app {
namespace {

// The motor group's write buttons and the settings they write.
struct SettingButton {
  Control button;
  Control box;
  link::Setting setting;
};
constexpr SettingButton kSettingButtons[] = {
    {Control::SpeedWrite, Control::SpeedBox, link::Setting::Speed},
    {Control::RunCurrentWrite, Control::RunCurrentBox, link::Setting::RunCurrent},
    {Control::HoldCurrentWrite, Control::HoldCurrentBox, link::Setting::HoldCurrent},
    {Control::MicrostepWrite, Control::MicrostepBox, link::Setting::Microstep},
    {Control::RampWrite, Control::RampBox, link::Setting::Ramp},
    {Control::StartSpeedWrite, Control::StartSpeedBox, link::Setting::StartSpeed},
    {Control::DisplacementWrite, Control::DisplacementBox, link::Setting::Displacement},
    {Control::SpeedModeWrite, Control::SpeedModeBox, link::Setting::SpeedMode},
    {Control::SpeedCoefficientWrite, Control::SpeedCoefficientBox, link::Setting::SpeedCoefficient},
    {Control::Service1Write, Control::Service1Box, link::Setting::Service1},
    {Control::Service2Write, Control::Service2Box, link::Setting::Service2},
};

}  // namespace

LinkTimer::LinkTimer(QObject* parent) : QTimer(parent) {
  setObjectName(QStringLiteral("Timer1"));
  setInterval(100);
}

DriverSide::DriverSide(DriverSideWindows windows, PrepareDebug prepareDebug,
                       app::SettingsStore& settings, Prompts& prompts, const UiLanguage& language,
                       Options options)
    : windows_(windows),
      prepareDebug_(std::move(prepareDebug)),
      settings_(settings),
      prompts_(prompts),
      language_(language),
      simulatedForThisRun_(options.simulatedDriver),
      timer_(new LinkTimer(windows.mainWindow)),
      controls_(windows.mainWindow) {
  presenter_ = std::make_unique<LinkPresenter>(
      PresenterWindows{windows_.mainWindow, &controls_, windows_.editor, windows_.download,
                       windows_.statusText},
      prompts_, language_, simulated_);
  stack_ = std::make_unique<link::LinkStack>(
      *timer_, static_cast<link::SettingsStore&>(*this), *presenter_,
      link::LinkStackOptions{.settings = serial::PortSettings::DriverLink(),
                             .logFolder = options.serialLogFolder,
                             .line = options.port});
  engine_ = &stack_->Engine();
  selection_ = &stack_->Ports();
  port_ = &stack_->Line();
  engine_->AddObserver(*presenter_);
  settingsExchange_ = std::make_unique<EngineSettingsExchange>(*engine_);
  settingsFiles_ =
      new SettingsFiles(windows_.mainWindow, controls_, *settingsExchange_, prompts_, language_);

  // Port number 0: the serial component asks which port, with the same list the dialog has.
  port_->SetPortPrompt([this]() -> std::optional<PortName> {
    const QList<PortChoice> choices = PortChoices(serial::ListSerialPorts(), language_.Current());
    const std::optional<QString> chosen =
        prompts_.PickPort(windows_.mainWindow, choices, language_.Current());
    if (!chosen) return std::nullopt;
    // A simulated driver that cannot start is a port that cannot be opened.
    const QString port = ResolvePort(*chosen);
    return PortName::Parse(port.toStdString());
  });

  connect(timer_, &QTimer::timeout, this, [this] {
    stack_->Tick();  // a pulled adapter is noticed, and found again, before the engine steps
    settingsExchange_->Ticked();
  });
  presenter_->AddLinkStatusLabels();
  ConnectButtons();
  ConnectMemoryAccess();
  connect(windows_.portDialog, &PortDialog::Chosen, this, &DriverSide::PortChosen);
  connect(windows_.portDialog, &PortDialog::Cancelled, this,
          [this] { windows_.portDialog->hide(); });
  if (windows_.statusText)
    connect(windows_.statusText, &QLabel::linkActivated, this, &DriverSide::FollowOffer);
  timer_->start();
}

DriverSide::~DriverSide() {
  // No tick may reach an engine that is half gone.
  delete timer_;
  timer_ = nullptr;
  engine_->RemoveObserver(*presenter_);
  port_->Close();
}

bool DriverSide::OnSimulatedDriver() const {
  return simulated_.IsPath(QString::fromStdString(selection_->Current().path()));
}

void DriverSide::OnClick(Control button, std::function<void()> press) {
  if (auto* b = controls_.Get<QPushButton>(button))
    connect(b, &QPushButton::clicked, this, std::move(press));
}

link::Entered DriverSide::BoxValue(Control box) const {
  if (const auto* edit = controls_.Get<QLineEdit>(box))
    return link::ParseInteger(edit->text().toStdString());
  return std::nullopt;
}

void DriverSide::ConnectButtons() {
  link::LinkEngine& e = *engine_;
  for (const SettingButton& b : kSettingButtons) {
    // The box is read as the button is pressed; the engine checks the value as it sends.
    OnClick(b.button, [this, b] {
      const link::Entered value = BoxValue(b.box);
      presenter_->AskedToWrite(LinkPresenter::WriteAsked::Setting(b.setting, value));
      engine_->WriteSetting(b.setting, value);
    });
    presenter_->ShowAcceptedValues(b.box, LinkPresenter::WriteAsked::Setting(b.setting));
  }
  OnClick(Control::Run, [&e] { e.Run(); });
  OnClick(Control::Stop, [&e] { e.Stop(); });
  OnClick(Control::ReadParameters, [&e] { e.Read(link::Answer::ParamBlock); });
  OnClick(Control::ReadProgramName, [&e] { e.Read(link::Answer::ProgramName); });
  OnClick(Control::MemoryWrite, [this] {
    const link::Entered address = BoxValue(Control::MemoryAddress),
                        data = BoxValue(Control::MemoryData);
    presenter_->AskedToWrite(LinkPresenter::WriteAsked::Memory(address, data));
    engine_->WriteMemory(address, data);
  });
  presenter_->ShowAcceptedValues(Control::MemoryAddress, LinkPresenter::WriteAsked::Memory());
  OnClick(Control::ScriptButton, [this] { ScriptSwitch(); });
  OnClick(Control::DebugButton, [this] { DebugSwitch(); });
  OnClick(Control::Move, [&e] { e.Move(); });
  OnClick(Control::ReadSettings, [this] {
    using enum Control;
    presenter_->ClearBoxes({SpeedBox, RunCurrentBox, HoldCurrentBox, MicrostepBox, RampBox,
                            StartSpeedBox, DisplacementBox, Direction});
    engine_->Read(link::Answer::MotorSettings);
  });
  for (const bool right : {false, true}) {
    OnClick(right ? Control::Right : Control::Left, [this, right] {
      presenter_->ShowDirection(right);
      // The driver is told the direction as the display shows it now.
      engine_->WriteSetting(link::Setting::Direction, presenter_->DirectionShown());
    });
  }
  OnClick(Control::MemoryRead, [this] {
    const link::Entered address = BoxValue(Control::MemoryAddress);
    presenter_->ClearBoxes({Control::MemoryData});
    presenter_->AskedToWrite(LinkPresenter::WriteAsked::MemoryRead(address));
    engine_->ReadMemory(address);
  });
  OnClick(Control::ServiceRead, [this] {
    presenter_->ClearBoxes({Control::Service1Box, Control::Service2Box});
    engine_->Read(link::Answer::ServiceValues);
  });
  for (int prm = link::kFirstParameter; prm <= link::kLastParameter; ++prm) {
    OnClick(ParameterWrite(prm), [this, prm] {
      const link::Entered value = BoxValue(ParameterBox(prm));
      presenter_->AskedToWrite(LinkPresenter::WriteAsked::Parameter(prm, value));
      engine_->WriteParameter(prm, value);
    });
    presenter_->ShowAcceptedValues(ParameterBox(prm), LinkPresenter::WriteAsked::Parameter(prm));
  }
  for (int output : {1, 2}) {
    if (auto* shape = controls_.Get<IndicatorShape>(OutputShape(output, true))) {
      connect(shape, &IndicatorShape::Pressed, this, [this, output] {
        // The driver is told the output's state as the display shows it now.
        engine_->WriteOutput(output, presenter_->Lit(OutputShape(output, true)));
      });
    }
  }
}

void DriverSide::ScriptSwitch() {
  const bool on = !engine_->Variables().scriptOn;
  presenter_->ScriptSwitched(on);
  engine_->SetScript(on);
}

void DriverSide::DebugSwitch() {
  if (engine_->Variables().debugOn) {
    engine_->SetDebug(nullptr);
    presenter_->DebugSwitched(false);
    return;
  }
  // The highlighted lines must belong to the program in the editor: the shell checks,
  // saves and loads an edited program first, and debugging starts only when all went well.
  const std::optional<AddressLines> lines = prepareDebug_();
  if (!lines) return;
  engine_->SetDebug(&*lines);
  presenter_->DebugSwitched(true);
}

void DriverSide::AddressLinesChanged(const AddressLines& lines) {
  if (engine_->Variables().debugOn) engine_->SetDebug(&lines);
}

void DriverSide::ConnectMemoryAccess() {
  auto* address = controls_.Get<QLineEdit>(Control::MemoryAddress);
  const auto step = [address](int delta) {
    address->setText(
        QString::fromStdString(link::StepMemoryAddress(address->text().toStdString(), delta)));
  };
  OnClick(Control::MemoryUp, [step] { step(+1); });
  OnClick(Control::MemoryDown, [step] { step(-1); });
  if (QWidget* displacement = controls_.Widget(Control::DisplacementBox))
    displacement->installEventFilter(this);
}

bool DriverSide::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    // Ctrl+1 on the main keyboard, whatever else is held (Shift turns 1 into ! on most
    // layouts); the keypad's 1 does not count.
    const bool one = key->key() == Qt::Key_1 || key->key() == Qt::Key_Exclam;
    if (one && key->modifiers().testFlag(Qt::ControlModifier) &&
        !key->modifiers().testFlag(Qt::KeypadModifier)) {
      windows_.directPage->SetMemoryAccessVisible(!windows_.directPage->MemoryAccessVisible());
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

// --- Start-up, language, download, port dialog ---

void DriverSide::StartUp() {
  // No port was ever chosen: the default port may well be a real UART with nothing on it.
  // Read before the port selection stores its default.
  const bool firstStart =
      !simulatedForThisRun_ && !settings_.Holds(ToQString(link::kComPortSetting));
  selection_->StartUp();
  RefreshPortList();
  windows_.portDialog->ShowPort(PortInUse());
  if (!firstStart) return;
  // When nothing has answered a little after a first start, the tool bar's status text says
  // so and offers, in one click, the simulated driver (or the port dialog where there is
  // none); no box interrupts the start.
  QTimer::singleShot(kFirstAnswerMs, this, [this] {
    if (engine_->Progress().status != link::LinkStatus::Answering && !portChosen_)
      presenter_->OfferHelpWithThePort(true);
  });
}

void DriverSide::FollowOffer(const QString& link) {
  if (link == QLatin1String(PortHelpLinks::kSimulatedDriver)) {
    PortChosen(SimulatedDriver::kSettingText);
  } else {
    ShowPortDialog();
  }
}

QString DriverSide::PortInUse() const {
  const QString port = QString::fromStdString(selection_->Current().ToString());
  return OnSimulatedDriver() ? SimulatedDriver::kSettingText : port;
}

void DriverSide::LanguageChanged() {
  presenter_->LanguageChanged();
  settingsFiles_->LanguageChanged();
}

void DriverSide::StartDownload(const compiler::CompileResult& check, const QString& programPath) {
  presenter_->DownloadAsked();
  engine_->Download({check.programValid, check.code, check.vectorTable, programPath.toStdString()});
}

void DriverSide::ProgramReplaced() {
  presenter_->ProgramReplaced();
}

void DriverSide::ShowPortDialog() {
  PortDialog* d = windows_.portDialog;
  d->SetCancelCaption(language_.Pick(texts::kPortCancel));
  // Devices come and go: the list is made afresh each time the dialog opens, and the box
  // shows the port in use.
  RefreshPortList();
  d->ShowPort(PortInUse());
  d->show();
  d->raise();
  d->activateWindow();
}

void DriverSide::PortChosen(const QString& port) {
  portChosen_ = true;
  presenter_->OfferHelpWithThePort(false);
  QString chosen = port;
  if (port == SimulatedDriver::kSettingText) {
    try {
      chosen = simulated_.Start();
    } catch (const std::exception& e) {
      const std::string text = texts::PortNotOpened(port.toStdString(), link::OpenFailure::Other,
                                                    e.what(), language_.Current());
      prompts_.Show(windows_.portDialog, MessageKind::Warning, ToQString(text), Buttons::Ok);
      return;
    }
  }
  // The dialog stays open on a choice that did not take: the link said why.
  if (selection_->Choose(chosen.toStdString())) windows_.portDialog->hide();
}

QString DriverSide::ResolvePort(const QString& port) {
  if (port.trimmed() != SimulatedDriver::kSettingText) return port;
  try {
    return simulated_.Start();
  } catch (const std::exception&) {
    return port;
  }
}

void DriverSide::RefreshPortList() {
  windows_.portDialog->SetChoices(PortChoices(serial::ListSerialPorts(), language_.Current()),
                                  language_.Current());
}

// --- SettingsStore: COMPORT holds "SIM" for the simulated driver ---

std::string DriverSide::ReadSetting(std::string_view name, std::string_view defaultValue) {
  const QString key = ToQString(name);
  if (name == link::kComPortSetting && simulatedForThisRun_)
    return ResolvePort(SimulatedDriver::kSettingText).toStdString();
  const QString value = settings_.ReadSetting(key, ToQString(defaultValue));
  return (name == link::kComPortSetting ? ResolvePort(value) : value).toStdString();
}

void DriverSide::WriteSetting(std::string_view name, std::string_view value) {
  const QString key = ToQString(name);
  const QString text = ToQString(value);
  settings_.WriteSetting(key, name == link::kComPortSetting && simulated_.IsPath(text)
                                  ? SimulatedDriver::kSettingText
                                  : text);
}

}  // namespace kivra::app
