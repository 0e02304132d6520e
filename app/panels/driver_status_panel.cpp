#include "app/panels/driver_status_panel.h"

#include <QLabel>

#include "app/ui/controls.h"
#include "app/ui/indicator_shape.h"
#include "app/ui/texts.h"
#include "app/ui/ui_language.h"
#include "app/ui/ui_look.h"

namespace kivra::app {
namespace {

using Form = IndicatorShape::Form;

}  // namespace

DriverStatusPanel::DriverStatusPanel(QWidget* parent, const QRect& rect) : QGroupBox(parent) {
  setObjectName(ObjectName(Control::StatusPanel));
  setGeometry(rect);

  look::AddLabel(this, QString(), ToQString(texts::kCommPortCaption), {6, 36, 60, 17});
  look::AddValueBox(this, ObjectName(Control::PortNumber), QString(), {68, 36, 17, 17},
                    look::kHighlightText);
  look::AddLabel(this, ObjectName(Control::ConnectionCaption), QString(), {6, 64, 60, 17});
  new IndicatorShape(this, ObjectName(Control::Connection), Form::RoundedSquare, {68, 64, 17, 17},
                     look::kRed);

  BuildModeGroup();
  BuildInputGroup();
  BuildOutputGroup();
  BuildAnalogGroup();
  BuildTemperatureGroup();
}

void DriverStatusPanel::BuildModeGroup() {
  QGroupBox* group = look::AddGroup(this, ObjectName(Control::ModeGroup), {6, 124, 89, 65});
  look::AddLabel(group, ObjectName(Control::ControllerCaption), QString(), {4, 20, 52, 17});
  new IndicatorShape(group, ObjectName(Control::ControllerMode), Form::RoundedSquare,
                     {56, 20, 17, 17}, look::kScrollBar);
  look::AddLabel(group, QString(), ToQString(texts::kStepDirCaption), {4, 42, 52, 17});
  new IndicatorShape(group, ObjectName(Control::StepDirMode), Form::RoundedSquare, {56, 42, 17, 17},
                     look::kScrollBar);
}

void DriverStatusPanel::BuildInputGroup() {
  QGroupBox* group = look::AddGroup(this, ObjectName(Control::InputGroup), {6, 196, 89, 135});
  for (int i = 0; i < 6; ++i) {
    const int y = 16 + 20 * i;
    look::AddLabel(group, QString(), QString::number(i + 1), {24, y, 20, 17});
    new IndicatorShape(group, ObjectName(InputShape(i + 1, false)), Form::Circle, {56, y, 17, 17},
                       look::kScrollBar);
  }
}

void DriverStatusPanel::BuildOutputGroup() {
  QGroupBox* group = look::AddGroup(this, ObjectName(Control::OutputGroup), {6, 340, 89, 55});
  for (int i = 0; i < 2; ++i) {
    const int y = 16 + 20 * i;
    look::AddLabel(group, QString(), QString::number(i + 1), {24, y, 20, 17});
    new IndicatorShape(group, ObjectName(OutputShape(i + 1, false)), Form::Circle, {56, y, 17, 17},
                       look::kScrollBar);
  }
}

void DriverStatusPanel::BuildAnalogGroup() {
  QGroupBox* group = look::AddGroup(this, ObjectName(Control::AnalogGroup), {6, 400, 89, 73});
  for (int i = 0; i < 2; ++i) {
    const int y = 20 + 26 * i;
    look::AddLabel(group, QString(), QString::number(i + 1), {24, y, 20, 17});
    look::AddValueBox(group, ObjectName(i == 0 ? Control::Analog1 : Control::Analog2),
                      QStringLiteral("0"), {50, y, 29, 17}, look::kHighlightText);
  }
}

void DriverStatusPanel::BuildTemperatureGroup() {
  QGroupBox* group = look::AddGroup(this, ObjectName(Control::TemperatureGroup), {6, 484, 89, 43});
  look::AddValueBox(group, ObjectName(Control::Temperature), QString(), {30, 18, 27, 17},
                    look::kHighlightText);
  look::AddLabel(group, QString(), ToQString(texts::kCelsius), {62, 18, 12, 17});
}

}  // namespace kivra::app
