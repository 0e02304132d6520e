#include "app/panels/parameter_group.h"

#include <QLineEdit>
#include <QPushButton>

#include "app/ui/controls.h"
#include "app/ui/texts.h"
#include "app/ui/ui_language.h"
#include "app/ui/ui_look.h"
#include "link/values.h"

namespace kivra::app {
namespace {

constexpr int kFirst = link::kFirstParameter;
constexpr int kLast = link::kLastParameter;

}  // namespace

ParameterGroup::ParameterGroup(QWidget* parent, const QRect& rect) : QGroupBox(parent) {
  setObjectName(ObjectName(Control::ParametersGroup));
  setGeometry(rect);

  look::AddLabel(this, QString(), ToQString(texts::kSixteenBit), {88, 52, 57, 17}, Qt::AlignCenter);
  look::AddLabel(this, QString(), ToQString(texts::kThirtyTwoBit), {88, 314, 95, 17},
                 Qt::AlignCenter);
  for (int number = kFirst; number <= kLast; ++number) {
    const bool wide = link::IsWideParameter(number);
    const int y = wide ? 336 + 24 * (number - 21) : 72 + 20 * (number - kFirst);
    look::AddLabel(this, QString(), ToQString(texts::kParameterCaption).arg(number),
                   {16, y, 64, 17});
    auto* box = new QLineEdit(this);
    box->setObjectName(ObjectName(ParameterBox(number)));
    box->setGeometry(88, y, wide ? 95 : 57, 17);
    auto* write = new QPushButton(ToQString(texts::kParameterWrite), this);
    write->setObjectName(ObjectName(ParameterWrite(number)));
    write->setGeometry(wide ? 194 : 154, y, 37, 17);
  }
  auto* read = new QPushButton(this);
  read->setObjectName(ObjectName(Control::ReadParameters));
  read->setGeometry(38, 468, 153, 37);
}

}  // namespace kivra::app
