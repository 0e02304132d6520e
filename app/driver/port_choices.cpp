#include "app/driver/port_choices.h"

#include "app/driver/simulated_driver.h"
#include "app/ui/texts.h"
#include "app/ui/ui_language.h"

namespace kivra::app {

QList<PortChoice> PortChoices(const std::vector<serial::PortInfo>& present, Language language) {
  QList<PortChoice> choices;
  for (const serial::PortInfo& info : present) {
    const PortName name = info.Name();
    // The machine's own ports go by their number, the form COMPORT stores; adapters by the
    // path that stays theirs whatever order they are plugged in.
    QString label = QString::fromStdString(info.path);
    if (name.IsNumber())
      label = QString::fromStdString(name.DisplayName()) + QStringLiteral("  ") + label;
    if (!info.description.empty())
      label += QStringLiteral("  ") + QString::fromStdString(info.description);
    choices.push_back({label, QString::fromStdString(name.ToString())});
  }
  if constexpr (SimulatedDriver::kOnThisSystem) {
    choices.push_back(
        {UiLanguage(language).Pick(texts::kSimulatedDriverChoice), SimulatedDriver::kSettingText});
  }
  return choices;
}

}  // namespace kivra::app
