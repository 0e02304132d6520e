#pragma once

// Reading and pressing the driver-side controls of a window by their object names, and a
// window connected to a simulated driver of its own through the real serial component.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/driver/driver_side.h"
#include "app/ui/indicator_shape.h"
#include "app/ui/ui_look.h"
#include "sim/simulator.h"
#include "window_harness.h"

namespace kivra::app::testing {

// Generous: ticks take real time, and the sanitizers slow everything else down.
inline constexpr int kLinkTimeoutMs = 30000;

inline QObject* Control(MainWindow& window, const char* name) {
  return FindControl(&window, QString::fromLatin1(name));
}

inline QColor ShapeColour(MainWindow& window, int shape) {
  auto* indicator = qobject_cast<IndicatorShape*>(
      Control(window, QStringLiteral("Shape%1").arg(shape).toLatin1()));
  return indicator ? indicator->Colour() : QColor();
}

inline QString Text(MainWindow& window, const char* name) {
  QObject* control = Control(window, name);
  if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
  if (auto* box = qobject_cast<QLineEdit*>(control)) return box->text();
  if (auto* button = qobject_cast<QAbstractButton*>(control)) return button->text();
  return QStringLiteral("<missing %1>").arg(QString::fromLatin1(name));
}

inline void SetBox(MainWindow& window, const char* name, const QString& text) {
  if (auto* box = qobject_cast<QLineEdit*>(Control(window, name))) box->setText(text);
}

inline void Press(MainWindow& window, const char* name) {
  if (auto* button = qobject_cast<QAbstractButton*>(Control(window, name))) button->click();
}

inline bool Lit(MainWindow& window, int shape) {
  return ShapeColour(window, shape) == look::kLime;
}
inline bool Off(MainWindow& window, int shape) {
  return ShapeColour(window, shape) == look::kScrollBar;
}
inline bool Red(MainWindow& window, int shape) {
  return ShapeColour(window, shape) == look::kRed;
}

// The frames of a kind the simulated driver took, as (code, value) of 'K' frames: commands
// (08h 'K' code value checksum) and parameters (09h 'K' code value index checksum).
struct Command {
  char code;
  std::uint32_t value;
};
inline std::vector<Command> Commands(sim::Simulator& sim, char code) {
  std::vector<Command> found;
  for (const auto& frame : sim.ReceivedFrames()) {
    const auto& b = frame.bytes;
    if ((b.size() == 8 || b.size() == 9) && b[1] == 'K' &&
        b[2] == static_cast<std::uint8_t>(code)) {
      found.push_back({code, static_cast<std::uint32_t>(b[3]) << 24 |
                                 static_cast<std::uint32_t>(b[4]) << 16 |
                                 static_cast<std::uint32_t>(b[5]) << 8 | b[6]});
    }
  }
  return found;
}

// Waits, with the window's event loop running, until the simulated driver's state holds
// `condition` (the simulator's own WaitUntil would stop the window's ticks).
template <typename Condition>
bool Reaches(sim::Simulator& sim, Condition condition) {
  return QTest::qWaitFor([&] { return condition(sim.State()); }, kLinkTimeoutMs);
}

// A window whose stored port is the simulated driver's device.
class LiveWindow {
 public:
  explicit LiveWindow(QMap<QString, QString> stored = {}) : h(WithPort(sim, std::move(stored))) {
    h.realSerial = true;
  }
  bool Start() { return h.Start(); }
  bool Connected() {
    return QTest::qWaitFor([this] { return Lit(h.window(), 1) && Lit(h.window(), 13); },
                           kLinkTimeoutMs);
  }
  MainWindow& window() { return h.window(); }

  sim::Simulator sim;
  WindowHarness h;

 private:
  static QMap<QString, QString> WithPort(sim::Simulator& sim, QMap<QString, QString> stored) {
    stored.insert(QStringLiteral("COMPORT"), QString::fromStdString(sim.PortPath()));
    return stored;
  }
};

}  // namespace kivra::app::testing
