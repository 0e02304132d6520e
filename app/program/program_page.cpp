#include "app/program/program_page.h"

#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <tuple>

#include "app/editor/program_editor.h"
#include "app/panels/driver_status_panel.h"
#include "app/ui/controls.h"
#include "app/ui/indicator_shape.h"
#include "app/ui/texts.h"
#include "app/ui/ui_language.h"
#include "app/ui/ui_look.h"

namespace kivra::app {
namespace {

// Of the height beyond the design size, the editor takes this share and the message list
// the rest.
constexpr int kEditorShareOfHeight = 2;  // in thirds

// A small raised panel right of the message list: a switch with its indicator below it.
std::pair<QPushButton*, IndicatorShape*> AddSwitch(QWidget* page, const char* panelName,
                                                   Control buttonName, Control shapeName,
                                                   std::string_view caption, int x) {
  auto* panel = new QFrame(page);
  panel->setObjectName(QString::fromLatin1(panelName));
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->setGeometry(x, 456, 104, 72);
  auto* button = new QPushButton(ToQString(caption), panel);
  button->setObjectName(ObjectName(buttonName));
  button->setGeometry(6, 6, 92, 29);
  auto* shape =
      new IndicatorShape(panel, ObjectName(shapeName), IndicatorShape::Form::RoundedSquare,
                         {41, 42, 21, 21}, look::kScrollBar);
  return {button, shape};
}

}  // namespace

ProgramPage::ProgramPage(QWidget* parent) : QWidget(parent) {
  setObjectName(ObjectName(Control::ProgrammingTab));

  QLabel* caption =
      look::AddLabel(this, ObjectName(Control::FileNameCaption), QString(), {0, 4, 69, 17});
  look::SetBackground(caption, look::kButtonShadow);
  fileNameBar_ = look::AddLabel(this, QStringLiteral("StaticText5"), QString(), {72, 4, 685, 17});
  fileNameBar_->setFrameStyle(QFrame::Box | QFrame::Plain);
  look::SetBackground(fileNameBar_, look::kActiveCaption);

  editor_ = new ProgramEditor(this, {0, 24, 761, 373});
  BuildStatusStrip();

  look::AddLabel(this, ObjectName(Control::MessagesCaption), QString(), {0, 436, 86, 17});
  summary_ = look::AddLabel(this, QStringLiteral("StaticText3"), QString(), {88, 436, 393, 17});
  summary_->setAutoFillBackground(true);
  ClearSummary();

  messageList_ = new MessageList(this, {4, 456, 531, 129});
  BuildSwitches();
  new DriverStatusPanel(this, {760, 4, 101, 567});

  // A service switch that the driver's makers keep hidden.
  auto* service = new QPushButton(this);
  service->setObjectName(ObjectName(Control::ReadProgramName));
  service->hide();

  const auto follow = [this](const QString& name, bool growWidth, bool moveRight, bool growEditor,
                             bool belowEditor, bool growList) {
    auto* widget = findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
    follows_.push_back(
        {widget, widget->geometry(), growWidth, moveRight, growEditor, belowEditor, growList});
  };
  follow(QStringLiteral("StaticText5"), true, false, false, false, false);
  follow(QStringLiteral("RichEdit1"), true, false, true, false, false);
  follow(QStringLiteral("GroupBox1"), true, false, false, true, false);
  follow(ObjectName(Control::MessagesCaption), false, false, false, true, false);
  follow(QStringLiteral("StaticText3"), false, false, false, true, false);
  follow(QStringLiteral("RichEdit2"), true, false, false, true, true);
  follow(QStringLiteral("Panel1"), false, true, false, true, false);
  follow(QStringLiteral("Panel2"), false, true, false, true, false);
  follow(ObjectName(Control::StatusPanel), false, true, false, false, false);
}

void ProgramPage::SetExtraRoom(const QSize& extra) {
  const int width = std::max(0, extra.width());
  const int height = std::max(0, extra.height());
  const int editorHeight = height * kEditorShareOfHeight / 3;
  for (const Follow& f : follows_) {
    QRect r = f.design;
    if (f.growWidth) r.setWidth(r.width() + width);
    if (f.moveRight) r.translate(width, 0);
    if (f.growEditor) r.setHeight(r.height() + editorHeight);
    if (f.belowEditor) r.translate(0, editorHeight);
    if (f.growList) r.setHeight(r.height() + height - editorHeight);
    f.widget->setGeometry(r);
  }
}

void ProgramPage::BuildStatusStrip() {
  auto* strip = new QGroupBox(this);
  strip->setObjectName(QStringLiteral("GroupBox1"));
  strip->setGeometry(0, 396, 757, 33);
  look::AddLabel(strip, ObjectName(Control::LineCaption), QString(), {4, 8, 28, 17});
  lineBox_ = look::AddValueBox(strip, QStringLiteral("StaticText6"), QStringLiteral("1"),
                               {32, 8, 41, 17}, look::kEditorBackground);
  look::AddLabel(strip, ObjectName(Control::ColumnCaption), QString(), {88, 8, 46, 17});
  columnBox_ = look::AddValueBox(strip, QStringLiteral("StaticText7"), QStringLiteral("1"),
                                 {136, 8, 41, 17}, look::kEditorBackground);
  look::AddLabel(strip, ObjectName(Control::CodeUsedCaption), QString(), {250, 8, 110, 17},
                 Qt::AlignRight | Qt::AlignVCenter);
  codeUsed_ = look::AddValueBox(strip, QStringLiteral("StaticText8"), QStringLiteral("0"),
                                {364, 8, 41, 17}, look::kEditorBackground);
  look::AddLabel(strip, ObjectName(Control::CodeRemainingCaption), QString(), {480, 8, 110, 17},
                 Qt::AlignRight | Qt::AlignVCenter);
  codeRemaining_ = look::AddValueBox(strip, QStringLiteral("StaticText11"), QStringLiteral("2048"),
                                     {594, 8, 41, 17}, look::kEditorBackground);
  look::AddLabel(strip, QStringLiteral("StaticText10"), ToQString(texts::kBytesUnit),
                 {640, 8, 30, 17});

  // How full the code memory is, beside the counters.
  codeMemoryBar_ = new QProgressBar(strip);
  codeMemoryBar_->setObjectName(ObjectName(Control::CodeMemoryBar));
  codeMemoryBar_->setGeometry(676, 12, 74, 9);
  codeMemoryBar_->setRange(0, static_cast<int>(compiler::CodeCapacity));
  codeMemoryBar_->setValue(0);
  codeMemoryBar_->setTextVisible(false);
}

void ProgramPage::BuildSwitches() {
  AddSwitch(this, "Panel1", Control::ScriptButton, Control::ScriptShape, texts::kScriptSwitch, 544);
  std::tie(debugButton_, debugShape_) = AddSwitch(this, "Panel2", Control::DebugButton,
                                                  Control::DebugShape, texts::kDebugSwitch, 652);
}

void ProgramPage::SetFileName(const QString& path) {
  if (fileName_ == path) return;
  fileName_ = path;
  fileNameBar_->setText(path);
  emit FileNameChanged();
}

void ProgramPage::ClearSummary() {
  SetSummary(QString(), SummaryColour::ButtonFace);
}

void ProgramPage::SetSummary(const QString& text, app::SummaryColour colour) {
  summary_->setText(text);
  summaryColour_ = colour;
  switch (colour) {
    case SummaryColour::ButtonFace:
      look::SetBackground(summary_, look::ButtonFace());
      break;
    case SummaryColour::Red:
      look::SetBackground(summary_, look::kRed);
      break;
    case SummaryColour::Lime:
      look::SetBackground(summary_, look::kLime);
      break;
  }
}

void ProgramPage::SetCodeCounters(std::uint32_t used, std::uint32_t remaining) {
  codeUsed_->setText(QString::number(used));
  codeRemaining_->setText(QString::number(remaining));
  codeMemoryBar_->setValue(static_cast<int>(std::min<std::uint32_t>(used, compiler::CodeCapacity)));
}

}  // namespace kivra::app
