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
  // Its controls are found through the control registry (app/controls.h).

 private:
  void BuildRows();
  void BuildDirection();
};

}  // namespace kivra::app
