#pragma once

#include <QList>
#include <vector>

#include "app/ui/prompts.h"
#include "common/language.h"
#include "serial/port_list.h"

namespace kivra::app {

// The serial devices present, then the simulated driver.
QList<PortChoice> PortChoices(const std::vector<serial::PortInfo>& present, Language language);

}  // namespace kivra::app
