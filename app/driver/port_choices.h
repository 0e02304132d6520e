#pragma once

#include <QList>
#include <vector>

#include "app/ui/prompts.h"
#include "serial/port_list.h"

namespace kivra::app {

// The serial devices present, then the simulated driver.
QList<PortChoice> PortChoices(const std::vector<serial::PortInfo>& present, bool english);

}  // namespace kivra::app
