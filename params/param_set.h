#pragma once

// A driver's parameter set: the motor settings, the parameters Prm 9 to Prm 25 and the
// two service values, each of which may be absent (a file that leaves a value out, a
// driver that did not answer a read). The names and their order are those of the
// parameter file; the checks are the window's own (link/values.h).

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/frames.h"
#include "link/values.h"

namespace kivra::params {

enum class Group : std::uint8_t { Motor, Parameter, Service };

// One value of the set: a setting written by its own command, or a parameter.
struct Item {
  std::string_view name;  // as in the file: "speed", "prm9", "service1"
  Group group;
  link::Setting setting = link::Setting::Speed;  // Motor and Service
  int prm = 0;                                   // Parameter: 9..25
};

// Every item in file order: motor settings, Prm 9..25, service values. The displacement
// is a motion, not a setting of the driver, and is not part of a set.
std::span<const Item> Items();
inline constexpr std::size_t kItemCount = 9 + link::kParameterCount + 2;
std::optional<std::size_t> ItemByName(std::string_view name);  // ASCII case ignored

// True when the window would send `value` for the item: the setting's accepted values,
// any 32-bit integer for a parameter.
bool Accepts(const Item& item, std::int64_t value);
// "1..15000", "1, 2, 4, 5, 8, 10, 16, 25", "L, R", or empty for any 32-bit integer.
std::string AcceptedValues(const Item& item);

// The value as the file writes it: the direction as L or R, everything else in decimal.
std::string FormatValue(const Item& item, std::int64_t value);
// The file's text for a value, checked; nothing when it is not a number the item takes
// as a number (the range is Accepts' business).
std::optional<std::int64_t> ParseValue(const Item& item, std::string_view text);

struct ParameterSet {
  std::array<std::optional<std::int64_t>, kItemCount> values{};
  std::optional<std::uint8_t> firmware;    // tenths, as the status reply reports it
  std::optional<std::string> programName;  // UTF-8

  std::size_t Count() const;
  bool HasService() const;
  bool operator==(const ParameterSet&) const = default;
};

// "1.2" for 12 tenths.
std::string FormatFirmware(std::uint8_t tenths);
std::optional<std::uint8_t> ParseFirmware(std::string_view text);

// What was read from a driver; a read that did not happen stays empty.
struct DriverReadings {
  std::optional<link::MotorSettings> settings;
  std::optional<link::ParameterBlock> parameters;
  std::optional<link::ServiceValues> service;
  std::optional<std::string> programName;
  std::optional<std::uint8_t> firmware;
};

// The set the readings make, values in the widths the driver reports them (16-bit
// settings and Prm 9..20 unsigned, Prm 21..25 signed, the direction as 0 or 1).
ParameterSet FromReadings(const DriverReadings& readings);

// One value that differs between a file and a driver. `driver` is empty when the driver's
// value was not read.
struct Difference {
  std::size_t item;
  std::int64_t file;
  std::optional<std::int64_t> driver;
};

// The values of `file` that the driver does not hold, in file order. Values the file
// leaves out are not compared.
std::vector<Difference> Compare(const ParameterSet& file, const ParameterSet& driver);
// The items `file` leaves out, in file order.
std::vector<std::size_t> Missing(const ParameterSet& file);

}  // namespace kivra::params
