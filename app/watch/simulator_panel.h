#pragma once

#include <QWidget>
#include <functional>

#include "app/ui/ui_language.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTimer;

namespace kivra::sim {
class Simulator;
}

namespace kivra::app {

// The simulated driver's world, set by hand: its six inputs, the analog values, the
// temperature and the operating mode, and its faults (dropped acknowledgements, garbled and
// split status replies, silence, an unplugged adapter). Usable while the window's link is on
// the simulated driver; otherwise every control is off and a line says why.
class SimulatorPanel final : public QWidget {
  Q_OBJECT
 public:
  // `simulator` gives the simulated driver the link is on, or null.
  SimulatorPanel(std::function<sim::Simulator*()> simulator, const UiLanguage& language,
                 QWidget* parent);

  void LanguageChanged();
  // Follows whether the link is on the simulated driver, and its plug.
  void Follow();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void Load(sim::Simulator& s);
  void Fault(void (*apply)(sim::Simulator&));

  std::function<sim::Simulator*()> simulator_;
  const UiLanguage& language_;
  QList<QWidget*> controls_;
  QCheckBox* inputs_[6];
  QSpinBox* analog1_;
  QSpinBox* analog2_;
  QSpinBox* temperature_;
  QCheckBox* controller_;
  QPushButton* unplug_;
  QLabel* state_;
  QTimer* follow_;
  bool connected_ = false;
};

}  // namespace kivra::app
