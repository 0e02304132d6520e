#include "app/driver_link.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <exception>

#include "app/direct_control_page.h"
#include "app/download_window.h"
#include "app/driver_port.h"
#include "app/editor_text.h"
#include "app/fixed_texts.h"
#include "app/indicator_shape.h"
#include "app/port_choices.h"
#include "app/port_dialog.h"
#include "app/program_editor.h"
#include "app/program_page.h"
#include "app/prompts.h"
#include "app/settings_store.h"
#include "app/ui_language.h"
#include "app/ui_look.h"
#include "link/integer.h"
#include "link/texts.h"

namespace kivra::app {
namespace {

QString FromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QColor ColourOf(link::Colour colour) {
  switch (colour) {
    case link::Colour::Lime: return look::kLime;
    case link::Colour::Red: return look::kRed;
    case link::Colour::ScrollBar: return look::kScrollBar;
    case link::Colour::Window: break;
  }
  return QApplication::palette().color(QPalette::Base);
}

MessageKind KindOf(link::MessageKind kind) {
  switch (kind) {
    case link::MessageKind::Error: return MessageKind::Error;
    case link::MessageKind::Warning: return MessageKind::Warning;
    case link::MessageKind::Plain: break;
  }
  return MessageKind::Information;
}

// The buttons that only ask the engine for an exchange; it reads and checks their boxes
// when it sends.
struct RequestButton {
  const char* button;
  std::uint8_t state;
};
constexpr RequestButton kRequestButtons[] = {
    {"Button1", link::state::Speed},        {"Button10", link::state::RunCurrent},
    {"Button11", link::state::HoldCurrent}, {"Button12", link::state::Microstep},
    {"Button13", link::state::Ramp},        {"Button14", link::state::StartSpeed},
    {"Button15", link::state::Displacement}, {"Button4", link::state::SpeedMode},
    {"Button7", link::state::SpeedCoefficient}, {"Button5", link::state::Run},
    {"Button6", link::state::Stop},         {"Button8", link::state::ReadParameters},
    {"Button41", link::state::MemoryWrite}, {"Button9", link::state::Service1},
    {"Button19", link::state::Service2},    {"Button22", link::state::ReadProgramName},
};

}  // namespace

LinkTimer::LinkTimer(QObject* parent) : QTimer(parent) {
  setObjectName(QStringLiteral("Timer1"));
  setInterval(100);
}

DriverLink::DriverLink(DriverLinkWindows windows, DriverLinkHooks hooks, app::SettingsStore& settings,
                       Prompts& prompts, const UiLanguage& language, Options options)
    : windows_(windows),
      hooks_(std::move(hooks)),
      settings_(settings),
      prompts_(prompts),
      language_(language),
      simulatedForThisRun_(options.simulatedDriver),
      timer_(new LinkTimer(windows.mainWindow)) {
  if (options.port) {
    port_ = options.port;
  } else {
    ownPort_ = std::make_unique<SerialDriverPort>(options.serialLogFolder);
    port_ = ownPort_.get();
  }
  watchClock_.start();
  tap_ = std::make_unique<link::FrameTap>(*port_, [this] { return WatchMs(); });
  engine_ = std::make_unique<link::LinkEngine>(*tap_, static_cast<link::LinkView&>(*this),
                                               static_cast<link::AppHooks&>(*this), *timer_);
  engine_->SetEnglish(language_.IsEnglish());
  selection_ = std::make_unique<link::PortSelection>(
      *engine_, *port_, static_cast<link::SettingsStore&>(*this),
      static_cast<link::LinkView&>(*this), static_cast<link::PortDialogView&>(*this),
      link::PortSelection::Options{.simulatedDriverHint = true});

  // Port number 0: the serial component asks which port, with the same list the dialog has.
  port_->SetPortPrompt([this]() -> std::optional<serial::PortName> {
    const QList<PortChoice> choices = PortChoices(serial::ListSerialPorts(), language_.IsEnglish());
    const std::optional<QString> chosen = prompts_.PickPort(windows_.mainWindow, choices, language_.IsEnglish());
    if (!chosen) return std::nullopt;
    // A simulated driver that cannot start is a port that cannot be opened.
    const QString port = ResolvePort(*chosen);
    return serial::PortName::Parse(port.toStdString());
  });

  connect(timer_, &QTimer::timeout, this, [this] {
    selection_->Tick();  // a pulled adapter is noticed, and found again, between ticks
    engine_->Tick();
  });
  AddLinkStatusLabels();
  ConnectButtons();
  ConnectMemoryAccess();
  connect(windows_.portDialog, &PortDialog::Chosen, this, &DriverLink::PortChosen);
  connect(windows_.portDialog, &PortDialog::Cancelled, this, [this] { selection_->DialogCancel(); });
  timer_->start();
}

DriverLink::~DriverLink() {
  // No tick may reach an engine that is half gone.
  delete timer_;
  timer_ = nullptr;
  port_->Close();
}

bool DriverLink::OnSimulatedDriver() const {
  return simulated_.IsPath(QString::fromStdString(selection_->Current().Text()));
}

void DriverLink::ConnectButtons() {
  for (const RequestButton& b : kRequestButtons) {
    if (auto* button = qobject_cast<QPushButton*>(Control(b.button))) {
      const std::uint8_t state = b.state;
      connect(button, &QPushButton::clicked, this, [this, state] { engine_->Request(state); });
    }
  }
  const auto on = [this](const char* name, auto press) {
    if (auto* button = qobject_cast<QPushButton*>(Control(name))) connect(button, &QPushButton::clicked, this, press);
  };
  on("Button3", [this] { engine_->ScriptSwitch(); });
  on("Button2", [this] { engine_->DebugSwitch(); });
  on("Button16", [this] { engine_->PressMove(); });
  on("Button17", [this] { engine_->PressReadSettings(); });
  on("Button18", [this] { engine_->PressDirection(false); });
  on("Button21", [this] { engine_->PressDirection(true); });
  on("Button40", [this] { engine_->PressMemoryRead(); });
  on("Button20", [this] { engine_->PressServiceRead(); });
  // The parameter write buttons are Button23 (Prm 9) to Button39 (Prm 25).
  for (int prm = 9; prm <= 25; ++prm) {
    if (auto* button = qobject_cast<QPushButton*>(Control(QStringLiteral("Button%1").arg(prm + 14).toStdString()))) {
      connect(button, &QPushButton::clicked, this, [this, prm] { engine_->PressParameterWrite(prm); });
    }
  }
  for (int output : {1, 2}) {
    if (auto* shape = qobject_cast<IndicatorShape*>(Control(link::ctl::Shape(20 + output)))) {
      connect(shape, &IndicatorShape::Pressed, this, [this, output] { engine_->PressOutput(output); });
    }
  }
}

void DriverLink::ConnectMemoryAccess() {
  auto* address = qobject_cast<QLineEdit*>(Control(link::ctl::MemoryAddress));
  const auto step = [address](int delta) {
    address->setText(QString::fromStdString(link::StepMemoryAddress(address->text().toStdString(), delta)));
  };
  if (auto* up = qobject_cast<QPushButton*>(Control("BitBtn1"))) {
    connect(up, &QPushButton::clicked, this, [step] { step(+1); });
  }
  if (auto* down = qobject_cast<QPushButton*>(Control("BitBtn2"))) {
    connect(down, &QPushButton::clicked, this, [step] { step(-1); });
  }
  if (QObject* displacement = Control(link::ctl::Displacement)) displacement->installEventFilter(this);
}

bool DriverLink::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    // Ctrl+1 on the main keyboard, whatever else is held (Shift turns 1 into ! on most
    // layouts); the keypad's 1 does not count.
    const bool one = key->key() == Qt::Key_1 || key->key() == Qt::Key_Exclam;
    if (one && key->modifiers().testFlag(Qt::ControlModifier) && !key->modifiers().testFlag(Qt::KeypadModifier)) {
      windows_.directPage->SetMemoryAccessVisible(!windows_.directPage->MemoryAccessVisible());
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

QObject* DriverLink::Control(std::string_view name) {
  const QString key = FromUtf8(name);
  auto it = controls_.constFind(key);
  if (it != controls_.constEnd()) return *it;
  QObject* control = FindControl(windows_.mainWindow, key);
  controls_.insert(key, control);
  return control;
}

// --- Start-up, language, download, port dialog ---

void DriverLink::StartUp() {
  selection_->StartUp();
  RefreshPortList();
  selection_->DialogCreated();
}

void DriverLink::LanguageChanged() {
  engine_->SetEnglish(language_.IsEnglish());
  DrawLinkStatus();
}

void DriverLink::StartDownload(const compiler::CompileResult& check, const QString& programPath) {
  engine_->StartDownload(check.programValid, check.code, check.vectorTable, programPath.toStdString());
}

void DriverLink::ShowPortDialog() { selection_->ShowDialog(); }

void DriverLink::PortChosen(const QString& port) {
  QString chosen = port;
  if (port == SimulatedDriver::kSettingText) {
    try {
      chosen = simulated_.Start();
    } catch (const std::exception& e) {
      const std::string text = link::PortNotOpened(port.toStdString(), link::OpenFailure::Other,
                                                   e.what(), language_.IsEnglish());
      prompts_.Show(windows_.portDialog, MessageKind::Warning, FromUtf8(text), Buttons::Ok);
      return;
    }
  }
  selection_->DialogOk(chosen.toStdString());
}

QString DriverLink::ResolvePort(const QString& port) {
  if (port.trimmed() != SimulatedDriver::kSettingText) return port;
  try {
    return simulated_.Start();
  } catch (const std::exception&) {
    return port;
  }
}

void DriverLink::RefreshPortList() {
  windows_.portDialog->SetChoices(PortChoices(serial::ListSerialPorts(), language_.IsEnglish()),
                                  language_.IsEnglish());
}

// --- PortDialogView ---

void DriverLink::SetDialogVisible(bool visible) {
  PortDialog* dialog = windows_.portDialog;
  if (!visible) {
    dialog->hide();
    return;
  }
  // Devices come and go: the list is made afresh each time the dialog opens.
  RefreshPortList();
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
}

void DriverLink::SetNumberText(std::string_view text) {
  const QString port = FromUtf8(text);
  windows_.portDialog->ShowPort(simulated_.IsPath(port) ? SimulatedDriver::kSettingText : port);
}

void DriverLink::SetCancelCaption(std::string_view text) { windows_.portDialog->SetCancelCaption(FromUtf8(text)); }

// --- SettingsStore: COMPORT holds "SIM" for the simulated driver ---

std::string DriverLink::ReadSetting(std::string_view name, std::string_view defaultValue) {
  const QString key = FromUtf8(name);
  if (key == setting::kComPort && simulatedForThisRun_) return ResolvePort(SimulatedDriver::kSettingText).toStdString();
  const QString value = settings_.ReadSetting(key, FromUtf8(defaultValue));
  return (key == setting::kComPort ? ResolvePort(value) : value).toStdString();
}

void DriverLink::WriteSetting(std::string_view name, std::string_view value) {
  const QString key = FromUtf8(name);
  const QString text = FromUtf8(value);
  settings_.WriteSetting(key, key == setting::kComPort && simulated_.IsPath(text) ? SimulatedDriver::kSettingText : text);
}

// --- LinkView ---

void DriverLink::SetColour(std::string_view control, link::Colour colour) {
  QObject* target = Control(control);
  if (auto* shape = qobject_cast<IndicatorShape*>(target)) {
    shape->SetColour(ColourOf(colour));
  } else if (auto* box = qobject_cast<QLineEdit*>(target)) {
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, ColourOf(colour));
    box->setPalette(palette);
  }
}

void DriverLink::AddLinkStatusLabels() {
  // Below the status panel's lamp, and beside the direct-control tab's: free space of
  // each group, so nothing there moves.
  struct Place {
    std::string_view lamp;
    const char* name;
    QRect rect;
    Qt::Alignment alignment;
  };
  const Place places[] = {
      {link::ctl::Connection, "LinkStatusText1", {6, 84, 89, 34}, Qt::AlignLeft | Qt::AlignTop},
      {link::ctl::DriverConnection,
       "LinkStatusText2",
       {148, 54, 64, 32},
       Qt::AlignLeft | Qt::AlignVCenter}};
  for (const Place& place : places) {
    auto* lamp = qobject_cast<QWidget*>(Control(place.lamp));
    if (!lamp || !lamp->parentWidget()) continue;
    QLabel* label = look::AddLabel(lamp->parentWidget(), QString::fromLatin1(place.name), QString(),
                                   place.rect, place.alignment);
    label->setWordWrap(true);
    linkStatusLabels_.append(label);
  }
  DrawLinkStatus();
}

void DriverLink::ShowLinkStatus(link::LinkStatus status) {
  linkStatus_ = status;
  DrawLinkStatus();
}

void DriverLink::DrawLinkStatus() {
  const QString text = FromUtf8(link::LinkStatusText(linkStatus_, language_.IsEnglish()));
  for (const std::string_view lamp : {link::ctl::Connection, link::ctl::DriverConnection}) {
    if (auto* widget = qobject_cast<QWidget*>(Control(lamp))) widget->setToolTip(text);
  }
  for (QLabel* label : linkStatusLabels_) label->setText(text);
}

void DriverLink::SetText(std::string_view control, std::string_view utf8) {
  QObject* target = Control(control);
  QString text = FromUtf8(utf8);
  const bool portNumber = control == link::ctl::PortNumber || control == link::ctl::PortNumberDirect;
  if (portNumber) {
    // The boxes were made for a port number; a device path is shown in full as a tooltip.
    if (auto* widget = qobject_cast<QWidget*>(target)) widget->setToolTip(text);
    if (simulated_.IsPath(text)) text = SimulatedDriver::kSettingText;
  }
  if (auto* label = qobject_cast<QLabel*>(target)) {
    label->setText(text);
  } else if (auto* box = qobject_cast<QLineEdit*>(target)) {
    box->setText(text);
  } else if (auto* button = qobject_cast<QAbstractButton*>(target)) {
    button->setText(text);
  }
}

void DriverLink::ShowMessage(link::MessageKind kind, std::string_view utf8) {
  prompts_.Show(windows_.mainWindow, KindOf(kind), FromUtf8(utf8), Buttons::Ok);
}

void DriverLink::ShowProgress(std::string_view caption, std::uint32_t maximum) {
  DownloadWindow* window = windows_.download;
  window->Begin(FromUtf8(caption), static_cast<int>(maximum));
  window->show();
  window->raise();
}

void DriverLink::SetProgressPosition(std::uint32_t position) { windows_.download->SetPosition(position); }

void DriverLink::HideProgress() {
  windows_.download->hide();
  emit DownloadEnded(engine_->Download() == link::DownloadResult::Succeeded);
}

void DriverLink::SelectEditorLine(std::uint32_t line) {
  ProgramEditor* editor = windows_.programPage->editor();
  const std::optional<TextRange> range = EditorLineRange(editor->toPlainText(), static_cast<int>(line));
  if (!range) return;
  editor->SelectRange(range->start, range->length);
  editor->ensureCursorVisible();
}

void DriverLink::SetEditorReadOnly(bool readOnly) { windows_.programPage->editor()->setReadOnly(readOnly); }

void DriverLink::FocusEditor() { windows_.programPage->editor()->setFocus(); }

// --- AppHooks ---

std::string DriverLink::BoxText(std::string_view box) {
  QObject* target = Control(box);
  if (const auto* edit = qobject_cast<QLineEdit*>(target)) return edit->text().toStdString();
  if (const auto* label = qobject_cast<QLabel*>(target)) return label->text().toStdString();
  return {};
}

}  // namespace kivra::app
