#pragma once

#include <QWidget>

namespace kivra::app {

class FullStatusGroup;
class MotorControlGroup;
class ParameterGroup;

// `TabSheet2`, the direct-control page: the full status display, the motor settings and
// the parameters side by side, and the memory-access controls, hidden until asked for.
class DirectControlPage : public QWidget {
  Q_OBJECT
 public:
  explicit DirectControlPage(QWidget* parent);

  bool MemoryAccessVisible() const { return memoryAccessVisible_; }
  void SetMemoryAccessVisible(bool visible);

 private:
  void BuildMemoryAccess();
  void BuildServiceControls();
  void BuildSettingsFiles();

  QList<QWidget*> memoryAccess_;
  bool memoryAccessVisible_ = false;
};

}  // namespace kivra::app
