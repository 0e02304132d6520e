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
  // Its controls are found through the control registry (app/controls.h).

 private:
  void BuildModeGroup();
  void BuildInputGroup();
  void BuildOutputGroup();
  void BuildAnalogGroup();
};

}  // namespace kivra::app
