#include <stdexcept>

#include "app/driver/simulated_driver.h"
#include "sim/simulator.h"

namespace kivra::app {

SimulatedDriver::SimulatedDriver() = default;
SimulatedDriver::~SimulatedDriver() = default;

QString SimulatedDriver::Start() {
  if (simulator_) return Path();
  auto folder = std::make_unique<QTemporaryDir>();
  if (!folder->isValid()) throw std::runtime_error("No folder for the simulated driver's port");
  sim::Simulator::Options options;
  options.linkPath = folder->filePath(QStringLiteral("kivra-sim")).toStdString();
  simulator_.reset(new sim::Simulator(std::move(options)));
  folder_ = std::move(folder);
  return Path();
}

void SimulatedDriver::Stop::operator()(sim::Simulator* simulator) const {
  delete simulator;
}

QString SimulatedDriver::Path() const {
  return simulator_ ? QString::fromStdString(simulator_->LinkPath()) : QString();
}

}  // namespace kivra::app
