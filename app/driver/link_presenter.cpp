#include "app/driver/link_presenter.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/driver/download_window.h"
#include "app/driver/simulated_driver.h"
#include "app/editor/editor_text.h"
#include "app/editor/program_editor.h"
#include "app/ui/indicator_shape.h"
#include "app/ui/prompts.h"
#include "app/ui/texts.h"
#include "app/ui/ui_language.h"
#include "app/ui/ui_look.h"
#include "common/texts.h"
#include "link/engine.h"
#include "link/outcome_text.h"

namespace kivra::app {
namespace {

QString Say(const texts::Bilingual& text, Language language) {
  return ToQString(texts::Pick(text, language));
}

QColor ColourOf(bool lit) {
  return lit ? look::kLime : look::kScrollBar;
}

// The shapes that the driver's silence blanks: everything on both status displays but the
// connection lamps, the motor and the debug shape.
constexpr Control kBlankedShapes[] = {
    Control::Input1,
    Control::Input2,
    Control::Input3,
    Control::Input4,
    Control::Input5,
    Control::Input6,
    Control::Output1,
    Control::Output2,
    Control::StepDirMode,
    Control::ControllerMode,
    Control::ScriptDirect,
    Control::Input1Direct,
    Control::Input2Direct,
    Control::Input3Direct,
    Control::Input4Direct,
    Control::Input5Direct,
    Control::Input6Direct,
    Control::Output1Direct,
    Control::Output2Direct,
    Control::StepDirModeDirect,
    Control::ControllerModeDirect,
};

}  // namespace

LinkPresenter::LinkPresenter(PresenterWindows windows, Prompts& prompts, const UiLanguage& language,
                             const SimulatedDriver& simulated)
    : windows_(windows), prompts_(prompts), language_(language), simulated_(simulated) {}

// --- Drawing, only what changes ---

void LinkPresenter::SetShape(Control control, Shown shown) {
  Shown& now = shapes_[static_cast<std::size_t>(control)];
  if (now == shown) return;
  now = shown;
  auto* shape = windows_.controls->Get<IndicatorShape>(control);
  if (!shape) return;
  shape->SetColour(shown == Shown::Red ? look::kRed : ColourOf(shown == Shown::On));
}

void LinkPresenter::SetLamp(Control control, bool lit) {
  SetShape(control, lit ? Shown::On : Shown::Off);
}

bool LinkPresenter::Lit(Control control) const {
  return shapes_[static_cast<std::size_t>(control)] == Shown::On;
}

void LinkPresenter::SetText(Control control, const QString& text) {
  const auto i = static_cast<std::size_t>(control);
  numberShown_[i] = false;
  if (control == Control::Direction) directionShown_ = false;
  QWidget* widget = windows_.controls->Widget(control);
  // A box holds what the user types as well: what is written there is written again.
  if (auto* box = qobject_cast<QLineEdit*>(widget)) {
    box->setText(text);
    return;
  }
  if (textShown_[i] && texts_[i] == text) return;
  texts_[i] = text;
  textShown_[i] = true;
  if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(text);
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(text);
  }
}

void LinkPresenter::SetNumber(Control control, int value) {
  const auto i = static_cast<std::size_t>(control);
  // A box the user typed into is written again even when the number is the same.
  const bool box = KindOf(control) == ControlKind::Box;
  if (!box && numberShown_[i] && numbers_[i] == value) return;
  SetText(control, QString::number(value));
  numbers_[i] = value;
  numberShown_[i] = true;
}

void LinkPresenter::ClearBoxes(std::initializer_list<Control> boxes) {
  for (Control box : boxes) SetText(box, QString());
}

void LinkPresenter::ShowDirection(bool right) {
  SetText(Control::Direction, Say(right ? texts::kRight : texts::kLeft, language_.Current()));
  directionRight_ = right;
  directionShown_ = true;
}

int LinkPresenter::DirectionShown() const {
  return directionShown_ && !directionRight_ ? 0 : 1;
}

void LinkPresenter::ScriptSwitched(bool on) {
  SetText(Control::ScriptButton, ToQString(texts::kScriptSwitch));
  windows_.editor->setFocus();
  SetLamp(Control::ScriptShape, on);
}

void LinkPresenter::DebugSwitched(bool on) {
  SetText(Control::DebugButton, ToQString(on ? texts::kDebugOff : texts::kDebugOn));
  debugOn_ = on;
  windows_.editor->setFocus();
  SetLamp(Control::DebugShape, on);
  SetEditorReadOnly(on);
}

void LinkPresenter::SetDisplacementColour(bool red) {
  if (displacementRed_ == red) return;
  displacementRed_ = red;
  auto* box = windows_.controls->Get<QLineEdit>(Control::DisplacementBox);
  if (!box) return;
  QPalette palette = box->palette();
  palette.setColor(QPalette::Base,
                   red ? look::kRed : QApplication::palette().color(QPalette::Base));
  box->setPalette(palette);
}

void LinkPresenter::SetEditorReadOnly(bool readOnly) {
  if (editorReadOnly_ == readOnly) return;
  editorReadOnly_ = readOnly;
  windows_.editor->setReadOnly(readOnly);
}

// --- The connection ---

void LinkPresenter::AddLinkStatusLabels() {
  // Below the status panel's lamp, and beside the direct-control tab's: free space of
  // each group, so nothing there moves.
  struct Place {
    Control lamp;
    const char* name;
    QRect rect;
    Qt::Alignment alignment;
  };
  const Place places[] = {
      {Control::Connection, "LinkStatusText1", {6, 84, 89, 34}, Qt::AlignLeft | Qt::AlignTop},
      {Control::DriverConnection,
       "LinkStatusText2",
       {148, 54, 64, 32},
       Qt::AlignLeft | Qt::AlignVCenter}};
  for (const Place& place : places) {
    QWidget* lamp = windows_.controls->Widget(place.lamp);
    if (!lamp || !lamp->parentWidget()) continue;
    QLabel* label = look::AddLabel(lamp->parentWidget(), QString::fromLatin1(place.name), QString(),
                                   place.rect, place.alignment);
    label->setWordWrap(true);
    linkStatusLabels_.append(label);
  }
  DrawLinkStatus();
}

void LinkPresenter::OnLinkStatus(link::LinkStatus status) {
  linkStatus_ = status;
  const Shown lamp = status == link::LinkStatus::Answering ? Shown::On : Shown::Red;
  if (status == link::LinkStatus::Answering) OfferHelpWithThePort(false);
  SetShape(Control::Connection, lamp);
  SetShape(Control::DriverConnection, lamp);
  DrawLinkStatus();
  DrawPort();
}

void LinkPresenter::LanguageChanged() {
  DrawLinkStatus();
  DrawNote();
  DrawStatusText();
  for (const auto& [box, kind] : hinted_) {
    if (QWidget* widget = windows_.controls->Widget(box))
      widget->setToolTip(language_.Pick(texts::kAllowedHint).arg(AcceptedText(kind)));
  }
}

void LinkPresenter::DrawLinkStatus() {
  const QString text = ToQString(texts::LinkStatusText(linkStatus_, language_.Current()));
  for (Control lamp : {Control::Connection, Control::DriverConnection}) {
    if (QWidget* widget = windows_.controls->Widget(lamp)) widget->setToolTip(text);
  }
  for (QLabel* label : linkStatusLabels_) label->setText(text);
}

// --- Status replies ---

void LinkPresenter::OnStatus(const link::StatusReply& s) {
  for (int i = 1; i <= 6; ++i) {
    SetLamp(InputShape(i, false), s.Input(i));
    SetLamp(InputShape(i, true), s.Input(i));
  }
  for (int i = 1; i <= 2; ++i) {
    SetLamp(OutputShape(i, false), s.Output(i));
    SetLamp(OutputShape(i, true), s.Output(i));
  }
  SetNumber(Control::Analog1, s.analog1);
  SetNumber(Control::Analog1Direct, s.analog1);
  SetNumber(Control::Analog2, s.analog2);
  SetNumber(Control::Analog2Direct, s.analog2);
  SetNumber(Control::Temperature, s.temperature);
  SetNumber(Control::TemperatureDirect, s.temperature);

  SetLamp(Control::ScriptShape, s.ScriptRunning());
  SetLamp(Control::ScriptDirect, s.ScriptRunning());
  SetText(Control::ScriptButton, ToQString(texts::kScriptSwitch));
  // With the script running and debugging off the editor is the user's again; with
  // debugging on, the line the driver executes follows (OnDebugLine).
  if (s.ScriptRunning() && !debugOn_) SetEditorReadOnly(false);

  SetLamp(Control::ControllerMode, s.ControllerMode());
  SetLamp(Control::ControllerModeDirect, s.ControllerMode());
  SetLamp(Control::StepDirMode, !s.ControllerMode());
  SetLamp(Control::StepDirModeDirect, !s.ControllerMode());
  SetLamp(Control::MotorRunning, s.MotorRunning());
}

void LinkPresenter::OnStatusLost() {
  // The analog values, the motor and debug shapes and the connection lamps keep theirs.
  SetLamp(Control::ScriptShape, false);
  SetText(Control::ScriptButton, ToQString(texts::kScriptSwitch));
  SetText(Control::Temperature, QStringLiteral(" "));
  SetText(Control::TemperatureDirect, QStringLiteral(" "));
  for (Control shape : kBlankedShapes) SetLamp(shape, false);
}

void LinkPresenter::OnDebugLine(std::uint32_t line) {
  ProgramEditor* editor = windows_.editor;
  const std::optional<TextRange> range =
      EditorLineRange(editor->toPlainText(), static_cast<int>(line));
  if (!range) return;
  editor->SelectRange(range->start, range->length);
  editor->ensureCursorVisible();
  SetEditorReadOnly(true);
}

// --- Replies into boxes ---

void LinkPresenter::OnMotorSettings(const link::MotorSettings& m) {
  SetNumber(Control::SpeedBox, m.speed);
  SetNumber(Control::RunCurrentBox, m.runCurrent);
  SetNumber(Control::HoldCurrentBox, m.holdCurrent);
  SetNumber(Control::MicrostepBox, m.microstep);
  SetNumber(Control::RampBox, m.ramp);
  SetNumber(Control::StartSpeedBox, m.startSpeed);
  ShowDirection(m.direction != 0);
  SetNumber(Control::DisplacementBox, m.displacement);
  SetNumber(Control::SpeedModeBox, m.speedMode);
  SetNumber(Control::SpeedCoefficientBox, m.speedCoefficient);
}

void LinkPresenter::OnParameterBlock(const link::ParameterBlock& p) {
  for (int prm = link::kFirstParameter; prm <= link::kLastParameter; ++prm) {
    const int value = link::IsWideParameter(prm) ? p.prm21to25[prm - 21]
                                                 : p.prm9to20[prm - link::kFirstParameter];
    SetNumber(ParameterBox(prm), value);
  }
}

void LinkPresenter::OnMemoryValue(std::uint8_t value) {
  SetNumber(Control::MemoryData, value);
}

void LinkPresenter::OnServiceValues(const link::ServiceValues& v) {
  SetNumber(Control::Service1Box, v.value1);
  SetNumber(Control::Service2Box, v.value2);
}

// The displacement box alone shows a refused value: red on a non-number, the window's
// colour again once a value goes out.
void LinkPresenter::OnValueSent(link::Setting setting, std::int32_t) {
  if (setting == link::Setting::Displacement) SetDisplacementColour(false);
}

void LinkPresenter::OnExchange(const link::ExchangeRecord& e) {
  using link::ExchangeOutcome;
  if (e.request == link::LinkState::Displacement && e.outcome == ExchangeOutcome::Refused &&
      e.refusal == link::Refusal::NotANumber) {
    SetDisplacementColour(true);
  }
  if (!asked_ || e.request != asked_->request) return;
  if (asked_->read && e.outcome != ExchangeOutcome::Refused) {
    // A read that went out shows its value; only a refused one has something to say. A
    // read replaced by the next is no news about the next.
    if (e.outcome == ExchangeOutcome::Running || e.outcome == ExchangeOutcome::Replaced) return;
    note_ = Note::None;
    asked_.reset();
    DrawNote();
    return;
  }
  switch (e.outcome) {
    case ExchangeOutcome::Refused:
      note_ = e.refusal == link::Refusal::NotANumber ? Note::NotANumber : Note::OutOfRange;
      break;
    case ExchangeOutcome::Acknowledged:
      note_ = Note::Acknowledged;
      break;
    case ExchangeOutcome::Failed:
      note_ = Note::NotAcknowledged;
      noteWhy_ = e.why;
      break;
    default:
      return;  // still running, or replaced by a later request of the same kind
  }
  noted_ = *asked_;
  asked_.reset();
  DrawNote();
}

// --- The note about the last value written ---

LinkPresenter::WriteAsked LinkPresenter::WriteAsked::Setting(link::Setting setting,
                                                             link::Entered value) {
  WriteAsked w;
  w.request = link::CommandOf(setting).send;
  w.setting = setting;
  w.value = value;
  return w;
}

LinkPresenter::WriteAsked LinkPresenter::WriteAsked::Parameter(int prm, link::Entered value) {
  WriteAsked w;
  w.request = link::IsWideParameter(prm) ? link::LinkState::Param32 : link::LinkState::Param16;
  w.prm = prm;
  w.value = value;
  return w;
}

LinkPresenter::WriteAsked LinkPresenter::WriteAsked::Memory(link::Entered address,
                                                            link::Entered data) {
  WriteAsked w;
  w.request = link::LinkState::MemoryWrite;
  w.memory = true;
  w.address = address;
  w.value = data;
  return w;
}

LinkPresenter::WriteAsked LinkPresenter::WriteAsked::MemoryRead(link::Entered address) {
  WriteAsked w;
  w.request = link::LinkState::MemoryRead;
  w.memory = true;
  w.read = true;
  w.address = address;
  return w;
}

void LinkPresenter::AskedToWrite(const WriteAsked& asked) {
  asked_ = asked;
  note_ = Note::None;
  DrawNote();
}

void LinkPresenter::ShowAcceptedValues(Control box, const WriteAsked& kind) {
  hinted_.emplace_back(box, kind);
  if (QWidget* widget = windows_.controls->Widget(box))
    widget->setToolTip(language_.Pick(texts::kAllowedHint).arg(AcceptedText(kind)));
}

QString LinkPresenter::AcceptedText(const WriteAsked& value) const {
  if (value.memory && value.read) return language_.Pick(texts::kMemoryReadAccepts);
  if (value.memory) return language_.Pick(texts::kMemoryAccepts).arg(link::kLastMemoryAddress);
  if (link::IsParameter(value.prm) && !link::IsWideParameter(value.prm))
    return language_.Pick(texts::kSixteenBitParameter);
  const std::string accepted = value.setting ? link::AcceptedValues(*value.setting) : std::string();
  return accepted.empty() ? language_.Pick(texts::kAnyWholeNumber) : ToQString(accepted);
}

void LinkPresenter::DrawNote() {
  auto* label = windows_.controls->Get<QLabel>(Control::DirectNote);
  if (!label) return;
  const WriteAsked& v = noted_;
  QString name;
  if (v.setting)
    name = language_.Pick(texts::kSettingNames[static_cast<std::size_t>(*v.setting)]);
  else if (v.memory)
    name = language_.Pick(texts::kMemoryCell) +
           (v.address ? QStringLiteral(" %1").arg(*v.address) : QString());
  else
    name = ToQString(texts::kParameterName).arg(v.prm);
  const QString value = v.value ? QString::number(*v.value) : QString();
  switch (note_) {
    case Note::None:
      label->clear();
      return;
    case Note::NotANumber:
      label->setText(language_.Pick(texts::kNoteNotANumber).arg(name));
      return;
    case Note::OutOfRange:
      label->setText(language_.Pick(texts::kNoteOutOfRange).arg(name, AcceptedText(v)));
      return;
    case Note::Acknowledged:
      label->setText(language_.Pick(texts::kNoteAcknowledged).arg(name, value));
      return;
    case Note::NotAcknowledged:
      // Silence says "not acknowledged"; a refusal or a wrong reply says what it was.
      if (noteWhy_ == link::FrameFailure::Refused) {
        label->setText(language_.Pick(texts::kNoteRefused).arg(name));
      } else if (noteWhy_ == link::FrameFailure::TimeOut ||
                 noteWhy_ == link::FrameFailure::Partial || noteWhy_ == link::FrameFailure::None) {
        label->setText(language_.Pick(texts::kNoteNotAcknowledged).arg(name));
      } else {
        label->setText(language_.Pick(texts::kNoteFailed)
                           .arg(name, ToQString(link::FailureText(noteWhy_, language_.Current()))));
      }
      return;
  }
}

// --- The download ---

void LinkPresenter::OnDownload(const link::DownloadProgress& p) {
  DownloadWindow* window = windows_.download;
  switch (p.stage) {
    case link::DownloadProgress::Stage::Started:
      window->Begin(Say(texts::kDownloadCaption, language_.Current()), static_cast<int>(p.maximum));
      window->show();
      window->raise();
      window->SetPosition(0);
      return;
    case link::DownloadProgress::Stage::Position:
      window->SetPosition(p.position);
      return;
    case link::DownloadProgress::Stage::Ended:
      downloadFailure_ = link::DownloadFailureText(p, language_.Current());
      window->hide();
      if (p.resetBar) window->SetPosition(0);
      // A program replaced or edited while it went out is not the one on screen.
      downloadedShown_ = p.result == link::DownloadResult::Succeeded && !programReplaced_;
      DrawStatusText();
      return;
  }
}

void LinkPresenter::DownloadAsked() {
  downloadedShown_ = false;
  programReplaced_ = false;
  DrawStatusText();
}

void LinkPresenter::ProgramReplaced() {
  programReplaced_ = true;
  if (!downloadedShown_) return;
  downloadedShown_ = false;
  DrawStatusText();
}

void LinkPresenter::OfferHelpWithThePort(bool offered) {
  if (portHelpOffered_ == offered) return;
  portHelpOffered_ = offered;
  DrawStatusText();
}

// The tool bar's status text: that the program on screen is in the driver, or, after a
// first start that nothing answered, an offer to help with the port.
void LinkPresenter::DrawStatusText() {
  QLabel* label = windows_.statusText;
  if (!label) return;
  if (downloadedShown_) {
    label->setText(language_.Pick(texts::kDownloaded));
  } else if (portHelpOffered_) {
    const bool simulated = SimulatedDriver::kOnThisSystem;
    label->setText(
        QStringLiteral("%1<br><a href=\"%2\">%3</a>")
            .arg(language_.Pick(texts::kNoDriverAnswers).toHtmlEscaped(),
                 QLatin1String(simulated ? PortHelpLinks::kSimulatedDriver
                                         : PortHelpLinks::kPortDialog),
                 language_.Pick(simulated ? texts::kTrySimulatedDriver : texts::kChooseAPort)
                     .toHtmlEscaped()));
  } else {
    label->clear();
  }
}

// --- Messages ---

void LinkPresenter::OnNotice(link::Notice notice, std::string_view detail) {
  const Language language = language_.Current();
  MessageKind kind = MessageKind::Error;
  QString text;
  switch (notice) {
    case link::Notice::NoValidProgram:
      text = Say(texts::kNoValidProgram, language);
      break;
    case link::Notice::DownloadNoPort:
      text = Say(texts::kDownloadNoPort, language);
      break;
    case link::Notice::DownloadWaitsForPort:
      text = Say(texts::kDownloadWaitsForPort, language);
      break;
    case link::Notice::DownloadError:
      // The specified first line, then the step it stopped at and why.
      text = Say(texts::kDownloadError, language);
      if (!downloadFailure_.empty()) text += QLatin1Char('\n') + ToQString(downloadFailure_);
      break;
    case link::Notice::NumberExpected:
      kind = MessageKind::Information;
      text = Say(texts::kNumberExpected, language);
      break;
    case link::Notice::PortError:
      text = ToQString(detail);
      break;
  }
  prompts_.Show(windows_.mainWindow, kind, text, Buttons::Ok);
}

// --- The port ---

void LinkPresenter::ShowPortNumber(std::string_view port) {
  port_ = ToQString(port);
  DrawPort();
}

// The port boxes name the port only while the link is on it: beside "port not open" they
// are empty, whatever port was last chosen.
void LinkPresenter::DrawPort() {
  QString text = linkStatus_ == link::LinkStatus::PortClosed ? QString() : port_;
  for (Control display : {Control::PortNumber, Control::PortNumberDirect}) {
    // The boxes were made for a port number; a device path is shown in full as a tooltip.
    if (QWidget* widget = windows_.controls->Widget(display)) widget->setToolTip(text);
  }
  if (!text.isEmpty() && simulated_.IsPath(text)) text = SimulatedDriver::kSettingText;
  SetText(Control::PortNumber, text);
  SetText(Control::PortNumberDirect, text);
}

void LinkPresenter::PortNotOpened(std::string_view port, link::OpenFailure reason,
                                  std::string_view detail, bool startUp) {
  const Language language = language_.Current();
  std::string text = texts::PortNotOpened(port, reason, detail, language);
  if (startUp) {
    // Without a driver at hand, the simulated one is a click away.
    text += '\n';
    text += texts::Pick(texts::kSimulatedDriverHint, language);
  }
  prompts_.Show(windows_.mainWindow, MessageKind::Warning, ToQString(text), Buttons::Ok);
}

void LinkPresenter::PortNotANumber() {
  prompts_.Show(windows_.mainWindow, MessageKind::Error,
                Say(texts::kEnterNumber, language_.Current()), Buttons::Ok);
}

}  // namespace kivra::app
