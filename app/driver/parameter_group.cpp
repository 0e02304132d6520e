#include "app/driver/parameter_group.h"

#include <QLineEdit>
#include <QPushButton>

#include "app/ui/controls.h"
#include "app/ui/ui_look.h"
#include "link/values.h"

namespace kivra::app {
namespace {

constexpr int kFirst = link::kFirstParameter;
constexpr int kLast = link::kLastParameter;

}  // namespace

ParameterGroup::ParameterGroup(QWidget* parent, const QRect& rect) : QGroupBox(parent) {
  setObjectName(QStringLiteral("GroupBox6"));
  setGeometry(rect);

  look::AddLabel(this, QString(), QStringLiteral("16-bit"), {88, 52, 57, 17}, Qt::AlignCenter);
  look::AddLabel(this, QString(), QStringLiteral("32-bit"), {88, 314, 95, 17}, Qt::AlignCenter);
  for (int number = kFirst; number <= kLast; ++number) {
    const bool wide = link::IsWideParameter(number);
    const int y = wide ? 336 + 24 * (number - 21) : 72 + 20 * (number - kFirst);
    look::AddLabel(this, QString(), QStringLiteral("Prm %1:").arg(number), {16, y, 64, 17});
    auto* box = new QLineEdit(this);
    box->setObjectName(ObjectName(ParameterBox(number)));
    box->setGeometry(88, y, wide ? 95 : 57, 17);
    // The parameter write buttons read "YAZ" in both languages.
    auto* write = new QPushButton(QStringLiteral("YAZ"), this);
    write->setObjectName(ObjectName(ParameterWrite(number)));
    write->setGeometry(wide ? 194 : 154, y, 37, 17);
  }
  auto* read = new QPushButton(this);
  read->setObjectName(ObjectName(Control::ReadParameters));
  read->setGeometry(38, 468, 153, 37);
}

}  // namespace kivra::app
