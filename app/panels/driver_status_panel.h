#pragma once

#include <QGroupBox>
#include <array>

class QLabel;

namespace kivra::app {

class IndicatorShape;

// `GroupBox2`, the compact driver status panel at the right edge of the programming page:
// port number, connection, operating mode, six inputs, two outputs, two analog inputs and
// the temperature. The link fills it from the driver's status replies.
class DriverStatusPanel : public QGroupBox {
  Q_OBJECT
 public:
  DriverStatusPanel(QWidget* parent, const QRect& rect);
  // Its controls are found through the control registry (app/controls.h).

 private:
  void BuildModeGroup();
  void BuildInputGroup();
  void BuildOutputGroup();
  void BuildAnalogGroup();
  void BuildTemperatureGroup();
};

}  // namespace kivra::app
