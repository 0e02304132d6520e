#include "app/motor_control_group.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <string_view>

#include "app/indicator_shape.h"
#include "app/ui_look.h"

namespace kivra::app {
namespace {

struct Row {
  const char* label;
  const char* box;
  const char* button;
};

// Top to bottom; the labels' texts come from the language switch.
constexpr Row kRows[] = {
    {"StaticText75", "Edit23", "Button1"},  {"StaticText76", "Edit24", "Button10"},
    {"StaticText77", "Edit25", "Button11"}, {"StaticText78", "Edit26", "Button12"},
    {"StaticText79", "Edit27", "Button13"}, {"StaticText80", "Edit28", "Button14"},
    {"StaticText95", "Edit35", "Button4"},  {"StaticText97", "Edit36", "Button7"},
    {"StaticText81", "Edit29", "Button15"},
};
constexpr int kRowTop = 17;
constexpr int kRowPitch = 40;

QPushButton* AddButton(QWidget* parent, const char* objectName, const QString& caption, const QRect& rect) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromLatin1(objectName));
  button->setGeometry(rect);
  return button;
}

}  // namespace

MotorControlGroup::MotorControlGroup(QWidget* parent, const QRect& rect) : QGroupBox(parent) {
  setObjectName(QStringLiteral("GroupBox5"));
  setGeometry(rect);
  AddButton(this, "Button17", QString(), {8, 36, 57, 365});
  BuildRows();
  BuildDirection();
  AddButton(this, "Button5", QStringLiteral("Motor RUN"), {32, 472, 81, 53});
  AddButton(this, "Button6", QStringLiteral("Motor STOP"), {132, 472, 81, 53});
  motorRunning_ = new IndicatorShape(this, QStringLiteral("Shape2"), IndicatorShape::Form::Circle, {8, 488, 21, 21},
                                     look::kScrollBar);
}

void MotorControlGroup::BuildRows() {
  int y = kRowTop;
  for (const Row& row : kRows) {
    const bool displacement = row.box == std::string_view("Edit29");
    look::AddLabel(this, QString::fromLatin1(row.label), QString(), {68, y, 160, 15}, Qt::AlignCenter);
    auto* box = new QLineEdit(this);
    box->setObjectName(QString::fromLatin1(row.box));
    // The displacement takes signed 32-bit values and needs the wider box.
    box->setGeometry(displacement ? QRect(74, y + 15, 75, 21) : QRect(88, y + 15, 61, 21));
    AddButton(this, row.button, QString(), {156, y + 15, 57, 21});
    if (displacement) AddButton(this, "Button16", QStringLiteral("MOVE"), {156, y + 39, 57, 21});
    y += kRowPitch;
  }
}

void MotorControlGroup::BuildDirection() {
  look::AddLabel(this, QStringLiteral("StaticText82"), QString(), {32, 400, 181, 15}, Qt::AlignCenter);
  AddButton(this, "Button18", QString(), {32, 420, 57, 41});
  direction_ = look::AddValueBox(this, QStringLiteral("StaticText83"), QString(), {104, 428, 33, 17},
                                 look::ButtonFace());
  AddButton(this, "Button21", QString(), {156, 416, 57, 41});
}

QLineEdit* MotorControlGroup::box(const QString& objectName) const {
  return findChild<QLineEdit*>(objectName, Qt::FindDirectChildrenOnly);
}

QPushButton* MotorControlGroup::button(const QString& objectName) const {
  return findChild<QPushButton*>(objectName, Qt::FindDirectChildrenOnly);
}

}  // namespace kivra::app
