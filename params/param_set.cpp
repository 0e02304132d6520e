#include "params/param_set.h"

#include <algorithm>

#include "link/integer.h"

namespace kivra::params {
namespace {

using link::Setting;

// The settings of a set, in file order; their names in the file are the link's keys.
constexpr Setting kMotorSettings[] = {
    Setting::Speed,     Setting::RunCurrent, Setting::HoldCurrent,
    Setting::Microstep, Setting::Ramp,       Setting::StartSpeed,
    Setting::Direction, Setting::SpeedMode,  Setting::SpeedCoefficient,
};
constexpr Setting kServiceSettings[] = {Setting::Service1, Setting::Service2};
constexpr std::string_view kParameterNames[link::kParameterCount] = {
    "prm9",  "prm10", "prm11", "prm12", "prm13", "prm14", "prm15", "prm16", "prm17",
    "prm18", "prm19", "prm20", "prm21", "prm22", "prm23", "prm24", "prm25",
};
static_assert(std::size(kMotorSettings) + link::kParameterCount + std::size(kServiceSettings) ==
              kItemCount);

std::array<Item, kItemCount> MakeItems() {
  std::array<Item, kItemCount> items{};
  std::size_t n = 0;
  for (const Setting s : kMotorSettings) items[n++] = {link::CommandOf(s).key, Group::Motor, s};
  for (int prm = link::kFirstParameter; prm <= link::kLastParameter; ++prm)
    items[n++] = {kParameterNames[prm - link::kFirstParameter], Group::Parameter, {}, prm};
  for (const Setting s : kServiceSettings) items[n++] = {link::CommandOf(s).key, Group::Service, s};
  return items;
}

const std::array<Item, kItemCount>& ItemTable() {
  static const std::array<Item, kItemCount> items = MakeItems();
  return items;
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Lower(x) == Lower(y); });
}

bool IsDirection(const Item& item) {
  return item.group == Group::Motor && item.setting == Setting::Direction;
}

}  // namespace

std::span<const Item> Items() {
  return ItemTable();
}

std::optional<std::size_t> ItemByName(std::string_view name) {
  for (std::size_t i = 0; i < kItemCount; ++i)
    if (EqualIgnoringCase(Items()[i].name, name)) return i;
  return std::nullopt;
}

bool Accepts(const Item& item, std::int64_t value) {
  if (value < INT32_MIN || value > INT32_MAX) return false;
  if (item.group == Group::Parameter)
    return link::CheckParameter(item.prm, static_cast<std::int32_t>(value)) == link::Refusal::None;
  return link::Accepts(item.setting, static_cast<std::int32_t>(value));
}

std::string AcceptedValues(const Item& item) {
  if (item.group == Group::Parameter) return link::AcceptedParameterValues(item.prm);
  if (IsDirection(item)) return "L, R";
  return link::AcceptedValues(item.setting);
}

std::string FormatValue(const Item& item, std::int64_t value) {
  if (IsDirection(item) && (value == 0 || value == 1)) return value == 0 ? "L" : "R";
  return std::to_string(value);
}

std::optional<std::int64_t> ParseValue(const Item& item, std::string_view text) {
  if (IsDirection(item)) {
    if (EqualIgnoringCase(text, "L")) return 0;
    if (EqualIgnoringCase(text, "R")) return 1;
  }
  if (auto n = link::ParseInteger(text)) return *n;
  return std::nullopt;
}

std::size_t ParameterSet::Count() const {
  return static_cast<std::size_t>(
      std::ranges::count_if(values, [](const auto& v) { return v.has_value(); }));
}

bool ParameterSet::HasService() const {
  for (std::size_t i = 0; i < kItemCount; ++i)
    if (Items()[i].group == Group::Service && values[i]) return true;
  return false;
}

std::string FormatFirmware(std::uint8_t tenths) {
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

std::optional<std::uint8_t> ParseFirmware(std::string_view text) {
  const auto dot = text.find('.');
  if (dot == std::string_view::npos || dot == 0 || dot + 2 != text.size()) return std::nullopt;
  const auto whole = link::ParseInteger(text.substr(0, dot));
  const char tenth = text[dot + 1];
  if (!whole || text[0] == '+' || text[0] == '-' || tenth < '0' || tenth > '9') return std::nullopt;
  const std::int64_t value = std::int64_t{*whole} * 10 + (tenth - '0');
  if (value > 255) return std::nullopt;
  return static_cast<std::uint8_t>(value);
}

ParameterSet FromReadings(const DriverReadings& r) {
  ParameterSet set;
  set.firmware = r.firmware;
  set.programName = r.programName;
  for (std::size_t i = 0; i < kItemCount; ++i) {
    const Item& item = Items()[i];
    auto& value = set.values[i];
    if (item.group == Group::Parameter) {
      if (!r.parameters) continue;
      value = item.prm <= 20
                  ? std::int64_t{r.parameters->prm9to20[static_cast<std::size_t>(item.prm - 9)]}
                  : std::int64_t{r.parameters->prm21to25[static_cast<std::size_t>(item.prm - 21)]};
    } else if (item.group == Group::Service) {
      if (!r.service) continue;
      value = item.setting == Setting::Service1 ? r.service->value1 : r.service->value2;
    } else if (r.settings) {
      const link::MotorSettings& m = *r.settings;
      switch (item.setting) {
        case Setting::Speed:
          value = m.speed;
          break;
        case Setting::RunCurrent:
          value = m.runCurrent;
          break;
        case Setting::HoldCurrent:
          value = m.holdCurrent;
          break;
        case Setting::Microstep:
          value = m.microstep;
          break;
        case Setting::Ramp:
          value = m.ramp;
          break;
        case Setting::StartSpeed:
          value = m.startSpeed;
          break;
        case Setting::Direction:
          value = m.direction == 0 ? 0 : 1;
          break;
        case Setting::SpeedMode:
          value = m.speedMode;
          break;
        case Setting::SpeedCoefficient:
          value = m.speedCoefficient;
          break;
        default:
          break;
      }
    }
  }
  return set;
}

std::vector<Difference> Compare(const ParameterSet& file, const ParameterSet& driver) {
  std::vector<Difference> differences;
  for (std::size_t i = 0; i < kItemCount; ++i) {
    if (!file.values[i] || file.values[i] == driver.values[i]) continue;
    differences.push_back({i, *file.values[i], driver.values[i]});
  }
  return differences;
}

std::vector<std::size_t> Missing(const ParameterSet& file) {
  std::vector<std::size_t> missing;
  for (std::size_t i = 0; i < kItemCount; ++i)
    if (!file.values[i]) missing.push_back(i);
  return missing;
}

}  // namespace kivra::params
