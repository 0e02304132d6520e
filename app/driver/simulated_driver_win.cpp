#include <stdexcept>

#include "app/driver/simulated_driver.h"

namespace kivra::app {

// The simulated driver answers on a pseudo-terminal, which Windows does not have.

SimulatedDriver::SimulatedDriver() = default;
SimulatedDriver::~SimulatedDriver() = default;

QString SimulatedDriver::Start() {
  throw std::runtime_error("The simulated driver needs a pseudo-terminal, which Windows lacks");
}

void SimulatedDriver::Stop::operator()(sim::Simulator*) const {
  // Start never makes one here, so there is never one to stop.
}

QString SimulatedDriver::Path() const {
  return QString();
}

}  // namespace kivra::app
