#include "app/parameter_group.h"

#include <QLineEdit>
#include <QPushButton>

#include "app/ui_look.h"

namespace kivra::app {
namespace {

constexpr int kFirst = 9;
constexpr int kLast = 25;
constexpr int kFirst32Bit = 21;

// The boxes' names do not follow the parameter numbers.
QString BoxName(int number) {
  static constexpr int kWideBoxes[] = {1, 2, 30, 33, 34};
  const int edit = number < kFirst32Bit ? number + 2 : kWideBoxes[number - kFirst32Bit];
  return QStringLiteral("Edit%1").arg(edit);
}

QString ButtonName(int number) { return QStringLiteral("Button%1").arg(number + 14); }

}  // namespace

ParameterGroup::ParameterGroup(QWidget* parent, const QRect& rect) : QGroupBox(parent) {
  setObjectName(QStringLiteral("GroupBox6"));
  setGeometry(rect);

  look::AddLabel(this, QString(), QStringLiteral("16-bit"), {88, 52, 57, 17}, Qt::AlignCenter);
  look::AddLabel(this, QString(), QStringLiteral("32-bit"), {88, 314, 95, 17}, Qt::AlignCenter);
  for (int number = kFirst; number <= kLast; ++number) {
    const bool wide = number >= kFirst32Bit;
    const int y = wide ? 336 + 24 * (number - kFirst32Bit) : 72 + 20 * (number - kFirst);
    look::AddLabel(this, QString(), QStringLiteral("Prm %1:").arg(number), {16, y, 64, 17});
    auto* box = new QLineEdit(this);
    box->setObjectName(BoxName(number));
    box->setGeometry(88, y, wide ? 95 : 57, 17);
    // The parameter write buttons read "YAZ" in both languages.
    auto* write = new QPushButton(QStringLiteral("YAZ"), this);
    write->setObjectName(ButtonName(number));
    write->setGeometry(wide ? 194 : 154, y, 37, 17);
  }
  read_ = new QPushButton(this);
  read_->setObjectName(QStringLiteral("Button8"));
  read_->setGeometry(38, 468, 153, 37);
}

QLineEdit* ParameterGroup::box(int number) const {
  return findChild<QLineEdit*>(BoxName(number), Qt::FindDirectChildrenOnly);
}

QPushButton* ParameterGroup::writeButton(int number) const {
  return findChild<QPushButton*>(ButtonName(number), Qt::FindDirectChildrenOnly);
}

}  // namespace kivra::app
