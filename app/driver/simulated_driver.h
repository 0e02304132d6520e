#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace kivra::sim {
class Simulator;
}

namespace kivra::app {

// The simulated driver the port dialog offers beside the real devices, run inside the
// application on a pseudo-terminal of its own. It is started the first time it is chosen
// and then answers until the application ends. Its port is reached through a link that
// keeps its name when the simulated adapter is unplugged and plugged in again, so the
// link can reopen it like any device. Windows has no pseudo-terminals: there it is not
// offered, and starting it fails with a message.
class SimulatedDriver {
 public:
#ifdef _WIN32
  static constexpr bool kOnThisSystem = false;
#else
  static constexpr bool kOnThisSystem = true;
#endif

  // How COMPORT names it: a port number is a decimal number and a device a path, so the
  // word can stand for no real port.
  static inline const QString kSettingText = QStringLiteral("SIM");

  SimulatedDriver();
  ~SimulatedDriver();
  SimulatedDriver(const SimulatedDriver&) = delete;
  SimulatedDriver& operator=(const SimulatedDriver&) = delete;

  // Starts it unless it runs, and returns the path to open. Throws std::exception (no
  // pseudo-terminal to be had, no folder for the link) with a message for the user.
  QString Start();
  bool Running() const {
    return simulator_ != nullptr;
  }
  // The path the link opens; empty until started.
  QString Path() const;
  bool IsPath(const QString& path) const {
    return Running() && path == Path();
  }
  // For the tests and the screenshots: the driver's world and its received frames.
  sim::Simulator* simulator() const {
    return simulator_.get();
  }

 private:
  // Stops the simulator; defined where one can be made, so that a system without it never
  // needs its code.
  struct Stop {
    void operator()(sim::Simulator* simulator) const;
  };
  std::unique_ptr<QTemporaryDir> folder_;
  std::unique_ptr<sim::Simulator, Stop> simulator_;
};

}  // namespace kivra::app
