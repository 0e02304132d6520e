#pragma once

#include <QGroupBox>
#include <array>

class QLabel;

namespace kivra::app {

class IndicatorShape;

// `GroupBox11`, the full driver status display of the direct-control page: the compact
// panel's contents, wider, plus the script indicator. Its two output indicators take
// mouse presses (they switch the driver's outputs).
class FullStatusGroup : public QGroupBox {
  Q_OBJECT
 public:
  FullStatusGroup(QWidget* parent, const QRect& rect);

  QLabel* portNumber() const { return portNumber_; }                  // StaticText55
  IndicatorShape* connection() const { return connection_; }          // Shape13
  IndicatorShape* script() const { return script_; }                  // Shape14
  IndicatorShape* controllerMode() const { return controllerMode_; }  // Shape24
  IndicatorShape* stepDirMode() const { return stepDirMode_; }        // Shape23
  IndicatorShape* input(int n) const { return inputs_.at(n - 1); }    // Shape15..Shape20
  IndicatorShape* output(int n) const { return outputs_.at(n - 1); }  // Shape21, Shape22
  QLabel* analog(int n) const { return analog_.at(n - 1); }           // StaticText69, StaticText70
  QLabel* temperature() const { return temperature_; }                // StaticText74

 private:
  void BuildModeGroup();
  void BuildInputGroup();
  void BuildOutputGroup();
  void BuildAnalogGroup();

  QLabel* portNumber_ = nullptr;
  IndicatorShape* connection_ = nullptr;
  IndicatorShape* script_ = nullptr;
  IndicatorShape* controllerMode_ = nullptr;
  IndicatorShape* stepDirMode_ = nullptr;
  std::array<IndicatorShape*, 6> inputs_{};
  std::array<IndicatorShape*, 2> outputs_{};
  std::array<QLabel*, 2> analog_{};
  QLabel* temperature_ = nullptr;
};

}  // namespace kivra::app
