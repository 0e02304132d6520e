#pragma once

#include <QGroupBox>

class QLineEdit;
class QPushButton;

namespace kivra::app {

// `GroupBox6`, the driver's seventeen parameters: twelve 16-bit ones (Prm 9 to Prm 20) and
// five 32-bit ones (Prm 21 to Prm 25), each with its write button, and one read button.
class ParameterGroup : public QGroupBox {
  Q_OBJECT
 public:
  ParameterGroup(QWidget* parent, const QRect& rect);
  // Its controls are found through the control registry (app/controls.h).
};

}  // namespace kivra::app
