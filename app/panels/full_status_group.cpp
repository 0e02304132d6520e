#include "app/panels/full_status_group.h"

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

FullStatusGroup::FullStatusGroup(QWidget* parent, const QRect& rect) : QGroupBox(parent) {
  setObjectName(ObjectName(Control::StatusGroupDirect));
  setGeometry(rect);

  look::AddLabel(this, QString(), ToQString(texts::kCommPortCaption), {20, 24, 90, 17});
  look::AddValueBox(this, ObjectName(Control::PortNumberDirect), QString(), {116, 24, 29, 17},
                    look::kHighlightText);
  look::AddLabel(this, ObjectName(Control::ConnectionCaptionDirect), QString(), {16, 62, 100, 17});
  new IndicatorShape(this, ObjectName(Control::DriverConnection), Form::Circle, {120, 60, 21, 21},
                     look::kRed);
  look::AddLabel(this, ObjectName(Control::ScriptCaptionDirect), QString(), {16, 90, 100, 17});
  new IndicatorShape(this, ObjectName(Control::ScriptDirect), Form::Circle, {120, 88, 21, 21},
                     look::kScrollBar);

  BuildModeGroup();
  BuildInputGroup();
  BuildOutputGroup();
  BuildAnalogGroup();

  look::AddLabel(this, ObjectName(Control::TemperatureCaptionDirect), QString(),
                 {20, 464, 104, 17});
  look::AddValueBox(this, ObjectName(Control::TemperatureDirect), QString(), {128, 464, 37, 17},
                    look::kHighlightText);
}

void FullStatusGroup::BuildModeGroup() {
  QGroupBox* group = look::AddGroup(this, ObjectName(Control::ModeGroupDirect), {20, 132, 169, 57});
  look::AddLabel(group, ObjectName(Control::ControllerCaptionDirect), QString(), {16, 16, 80, 17});
  new IndicatorShape(group, ObjectName(Control::ControllerModeDirect), Form::RoundedSquare,
                     {100, 16, 17, 17}, look::kScrollBar);
  look::AddLabel(group, QString(), ToQString(texts::kStepDirCaption), {16, 36, 80, 17});
  new IndicatorShape(group, ObjectName(Control::StepDirModeDirect), Form::RoundedSquare,
                     {100, 36, 17, 17}, look::kScrollBar);
}

void FullStatusGroup::BuildInputGroup() {
  QGroupBox* group =
      look::AddGroup(this, ObjectName(Control::InputGroupDirect), {20, 192, 169, 143});
  for (int i = 0; i < 6; ++i) {
    const int y = 18 + 20 * i;
    look::AddLabel(group, QString(), QString::number(i + 1), {40, y, 20, 17});
    new IndicatorShape(group, ObjectName(InputShape(i + 1, true)), Form::Circle, {100, y, 17, 17},
                       look::kScrollBar);
  }
}

void FullStatusGroup::BuildOutputGroup() {
  QGroupBox* group =
      look::AddGroup(this, ObjectName(Control::OutputGroupDirect), {20, 336, 169, 57});
  for (int i = 0; i < 2; ++i) {
    const int y = 16 + 20 * i;
    look::AddLabel(group, QString(), QString::number(i + 1), {40, y, 20, 17});
    auto* output = new IndicatorShape(group, ObjectName(OutputShape(i + 1, true)), Form::Circle,
                                      {100, y, 17, 17}, look::kScrollBar);
    output->setCursor(Qt::PointingHandCursor);
  }
}

void FullStatusGroup::BuildAnalogGroup() {
  QGroupBox* group =
      look::AddGroup(this, ObjectName(Control::AnalogGroupDirect), {20, 396, 169, 63});
  for (int i = 0; i < 2; ++i) {
    const int y = 18 + 22 * i;
    look::AddLabel(group, QString(), QString::number(i + 1), {40, y, 20, 17});
    look::AddValueBox(group, ObjectName(i == 0 ? Control::Analog1Direct : Control::Analog2Direct),
                      QStringLiteral("0"), {100, y, 37, 17}, look::ButtonFace());
  }
}

}  // namespace kivra::app
