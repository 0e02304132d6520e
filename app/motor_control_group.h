#pragma once

#include <QGroupBox>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kivra::app {

class IndicatorShape;

// `GroupBox5`, the motor settings of the direct-control page: nine rows of a label, an
// entry box and its write button, the read button down the left side, the direction
// buttons and display, and run and stop with the motor-running indicator.
class MotorControlGroup : public QGroupBox {
  Q_OBJECT
 public:
  MotorControlGroup(QWidget* parent, const QRect& rect);

  QLineEdit* box(const QString& objectName) const;        // Edit23 .. Edit29, Edit35, Edit36
  QPushButton* button(const QString& objectName) const;   // Button1, Button4 .. Button7, Button10 .. Button21
  QLabel* direction() const { return direction_; }        // StaticText83
  IndicatorShape* motorRunning() const { return motorRunning_; }  // Shape2

 private:
  void BuildRows();
  void BuildDirection();

  QLabel* direction_ = nullptr;
  IndicatorShape* motorRunning_ = nullptr;
};

}  // namespace kivra::app
