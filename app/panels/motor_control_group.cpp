#include "app/panels/motor_control_group.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <string_view>

#include "app/ui/controls.h"
#include "app/ui/indicator_shape.h"
#include "app/ui/texts.h"
#include "app/ui/ui_language.h"
#include "app/ui/ui_look.h"

namespace kivra::app {
namespace {

struct Row {
  Control caption;
  Control box;
  Control button;
};

// Top to bottom; the labels' texts come from the language switch.
constexpr Row kRows[] = {
    {Control::SpeedCaption, Control::SpeedBox, Control::SpeedWrite},
    {Control::RunCurrentCaption, Control::RunCurrentBox, Control::RunCurrentWrite},
    {Control::HoldCurrentCaption, Control::HoldCurrentBox, Control::HoldCurrentWrite},
    {Control::MicrostepCaption, Control::MicrostepBox, Control::MicrostepWrite},
    {Control::RampCaption, Control::RampBox, Control::RampWrite},
    {Control::StartSpeedCaption, Control::StartSpeedBox, Control::StartSpeedWrite},
    {Control::SpeedModeCaption, Control::SpeedModeBox, Control::SpeedModeWrite},
    {Control::SpeedCoefficientCaption, Control::SpeedCoefficientBox,
     Control::SpeedCoefficientWrite},
    {Control::DisplacementCaption, Control::DisplacementBox, Control::DisplacementWrite},
};
constexpr int kRowTop = 17;
constexpr int kRowPitch = 40;

QPushButton* AddButton(QWidget* parent, Control control, const QString& caption,
                       const QRect& rect) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(ObjectName(control));
  button->setGeometry(rect);
  return button;
}

}  // namespace

MotorControlGroup::MotorControlGroup(QWidget* parent, const QRect& rect) : QGroupBox(parent) {
  setObjectName(ObjectName(Control::MotorGroup));
  setGeometry(rect);
  AddButton(this, Control::ReadSettings, QString(), {8, 36, 57, 365});
  BuildRows();
  BuildDirection();
  AddButton(this, Control::Run, ToQString(texts::kMotorRun), {32, 472, 81, 53});
  AddButton(this, Control::Stop, ToQString(texts::kMotorStop), {132, 472, 81, 53});
  new IndicatorShape(this, ObjectName(Control::MotorRunning), IndicatorShape::Form::Circle,
                     {8, 488, 21, 21}, look::kScrollBar);
}

void MotorControlGroup::BuildRows() {
  int y = kRowTop;
  for (const Row& row : kRows) {
    const bool displacement = row.box == Control::DisplacementBox;
    look::AddLabel(this, ObjectName(row.caption), QString(), {68, y, 160, 15}, Qt::AlignCenter);
    auto* box = new QLineEdit(this);
    box->setObjectName(ObjectName(row.box));
    // The displacement takes signed 32-bit values and needs the wider box.
    box->setGeometry(displacement ? QRect(74, y + 15, 75, 21) : QRect(88, y + 15, 61, 21));
    AddButton(this, row.button, QString(), {156, y + 15, 57, 21});
    if (displacement)
      AddButton(this, Control::Move, ToQString(texts::kMove), {156, y + 39, 57, 21});
    y += kRowPitch;
  }
}

void MotorControlGroup::BuildDirection() {
  look::AddLabel(this, ObjectName(Control::DirectionCaption), QString(), {32, 400, 181, 15},
                 Qt::AlignCenter);
  AddButton(this, Control::Left, QString(), {32, 420, 57, 41});
  look::AddValueBox(this, ObjectName(Control::Direction), QString(), {104, 428, 33, 17},
                    look::ButtonFace());
  AddButton(this, Control::Right, QString(), {156, 416, 57, 41});
}

}  // namespace kivra::app
