#pragma once

#include <QList>
#include <QString>
#include <vector>

#include "serial/port_list.h"

namespace kivra::app {

// One line of the port lists (the port dialog's and the prompt for port number 0).
struct PortChoice {
  QString label;  // what the user reads: the device, its number, its description
  QString port;   // what is opened and stored: "3", a device path, or "SIM"
};

// The serial devices present, then the simulated driver.
QList<PortChoice> PortChoices(const std::vector<serial::PortInfo>& present, bool english);

}  // namespace kivra::app
