// The parameter file on any bytes, as files passed between stations arrive: nothing
// crashes, and what the writer writes the parser reads back to the same set.
//
// Each input is used twice. As a file: a set the parser takes is written, and the parser
// takes the written text back to the same values, firmware and program name, and writing
// that gives the same text again. As a set: the bytes pick values (in range or not), a
// firmware version and a program name, as a driver may report them; the written file
// parses without error to the same set, less the values written as comments because the
// window would refuse them.

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "common/cp1254.h"
#include "params/param_file.h"

namespace {

using namespace kivra::params;

void Require(bool condition) {
  if (!condition) std::abort();
}

bool HasControl(std::string_view s) {
  for (const char c : s)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
  return false;
}

void AsFile(std::string_view bytes) {
  const ParsedFile parsed = ParseParameterFile(bytes);
  if (parsed.error) {
    (void)Describe(*parsed.error, kivra::Language::English);
    (void)Describe(*parsed.error, kivra::Language::Turkish);
    return;
  }
  Require(RefusedValues(parsed.set).empty());
  const std::string text = FormatParameterFile(parsed.set);
  const ParsedFile again = ParseParameterFile(text);
  Require(!again.error);
  Require(again.set.values == parsed.set.values);
  Require(again.set.firmware == parsed.set.firmware);
  // A name with a control character inside is written with '?' in its place.
  Require(again.set.programName.has_value() == parsed.set.programName.has_value());
  if (parsed.set.programName && !HasControl(*parsed.set.programName))
    Require(again.set.programName == parsed.set.programName);
  Require(FormatParameterFile(again.set) == text);
}

// A program name as a driver's reply gives it: code page 1254 text without control
// characters, blanks at neither end.
std::optional<std::string> DriverName(std::string_view bytes) {
  std::string name;
  for (const char c : kivra::Cp1254ToUtf8(bytes))
    if (!HasControl(std::string_view(&c, 1))) name += c;
  const auto first = name.find_first_not_of(' ');
  if (first == std::string::npos) return std::nullopt;
  return name.substr(first, name.find_last_not_of(' ') + 1 - first);
}

void AsSet(std::string_view bytes) {
  std::size_t at = 0;
  const auto next = [&]() -> std::uint8_t {
    return at < bytes.size() ? static_cast<std::uint8_t>(bytes[at++]) : 0;
  };
  ParameterSet set;
  for (auto& value : set.values) {
    const std::uint8_t how = next();
    if ((how & 1) == 0) continue;
    std::uint32_t raw = 0;
    for (int i = 0; i < 4; ++i) raw = raw << 8 | next();
    // Small values often, so that most land in range; any 32-bit value, and past it.
    if (how & 2)
      value = static_cast<std::int64_t>(raw % 20000);
    else if (how & 4)
      value = static_cast<std::int64_t>(static_cast<std::int32_t>(raw));
    else
      value = static_cast<std::int64_t>(raw) << 8;
  }
  if (next() & 1) set.firmware = next();
  if (at < bytes.size()) set.programName = DriverName(bytes.substr(at));

  const ParsedFile parsed = ParseParameterFile(FormatParameterFile(set));
  Require(!parsed.error);
  ParameterSet expected = set;
  for (const std::size_t refused : RefusedValues(set)) expected.values[refused].reset();
  Require(parsed.set == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  AsFile(bytes);
  AsSet(bytes);
  return 0;
}
