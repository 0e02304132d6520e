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

  QLabel* portNumber() const { return portNumber_; }          // StaticText15
  IndicatorShape* connection() const { return connection_; }  // Shape1
  IndicatorShape* controllerMode() const { return controllerMode_; }  // Shape12
  IndicatorShape* stepDirMode() const { return stepDirMode_; }        // Shape11
  IndicatorShape* input(int n) const { return inputs_.at(n - 1); }    // Shape3..Shape8
  IndicatorShape* output(int n) const { return outputs_.at(n - 1); }  // Shape9, Shape10
  QLabel* analog(int n) const { return analog_.at(n - 1); }           // StaticText49, StaticText50
  QLabel* temperature() const { return temperature_; }                // StaticText13

 private:
  void BuildModeGroup();
  void BuildInputGroup();
  void BuildOutputGroup();
  void BuildAnalogGroup();
  void BuildTemperatureGroup();

  QLabel* portNumber_ = nullptr;
  IndicatorShape* connection_ = nullptr;
  IndicatorShape* controllerMode_ = nullptr;
  IndicatorShape* stepDirMode_ = nullptr;
  std::array<IndicatorShape*, 6> inputs_{};
  std::array<IndicatorShape*, 2> outputs_{};
  std::array<QLabel*, 2> analog_{};
  QLabel* temperature_ = nullptr;
};

}  // namespace kivra::app
