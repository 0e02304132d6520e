#include "params/param_file.h"

#include "common/cp1254.h"
#include "link/integer.h"
#include "params/texts.h"

namespace kivra::params {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trim(std::string_view s) {
  const auto first = s.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(kBlanks) + 1 - first);
}

// Comments may come from an editor in either encoding; everything inside is UTF-8.
std::string ToUtf8(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  return IsValidUtf8(bytes) ? std::string(bytes) : Cp1254ToUtf8(bytes);
}

class Parser {
 public:
  ParsedFile Parse(std::string_view text) {
    int number = 0;
    while (!text.empty() && !result_.error) {
      const auto end = text.find('\n');
      std::string_view line = text.substr(0, end);
      text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
      ++number;
      while (line.ends_with('\r')) line.remove_suffix(1);
      line = Trim(line);
      if (line.empty() || line.front() == '#') continue;
      Line(number, line);
    }
    if (!result_.error && !formatSeen_)
      Fail(FileProblem::NotParameterFile, number == 0 ? 1 : number);
    return std::move(result_);
  }

 private:
  void Line(int number, std::string_view line) {
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) {
      return Fail(formatSeen_ ? FileProblem::NoEquals : FileProblem::NotParameterFile, number);
    }
    const std::string_view name = Trim(line.substr(0, equals));
    const std::string_view value = Trim(line.substr(equals + 1));
    if (!formatSeen_) return Format(number, name, value);
    if (name == "format") return Fail(FileProblem::Duplicate, number, name, value, formatLine_);
    if (name == "firmware") {
      if (!FirstTime(firmwareLine_, number, name, value)) return;
      result_.set.firmware = ParseFirmware(value);
      if (!result_.set.firmware) Fail(FileProblem::BadValue, number, name, value);
      return;
    }
    if (name == "program") {
      if (!FirstTime(programLine_, number, name, value)) return;
      if (!value.empty()) result_.set.programName = std::string(value);
      return;
    }
    const auto item = ItemByName(name);
    if (!item) return Fail(FileProblem::UnknownName, number, name);
    if (!FirstTime(itemLines_[*item], number, name, value)) return;
    const Item& it = Items()[*item];
    const auto parsed = ParseValue(it, value);
    if (!parsed || !Accepts(it, *parsed))
      return Fail(FileProblem::BadValue, number, it.name, value);
    result_.set.values[*item] = *parsed;
  }

  void Format(int number, std::string_view name, std::string_view value) {
    const auto version = link::ParseInteger(value);
    if (name != "format" || !version || *version < 1)
      return Fail(FileProblem::NotParameterFile, number);
    if (*version > kFormatVersion) return Fail(FileProblem::NewerFormat, number, name, value);
    formatSeen_ = true;
    formatLine_ = number;
  }

  bool FirstTime(int& seen, int number, std::string_view name, std::string_view value) {
    if (seen != 0) {
      Fail(FileProblem::Duplicate, number, name, value, seen);
      return false;
    }
    seen = number;
    return true;
  }

  void Fail(FileProblem problem, int line, std::string_view name = {}, std::string_view value = {},
            int firstLine = 0) {
    result_.error = FileError{problem, line, std::string(name), std::string(value), firstLine};
  }

  ParsedFile result_;
  bool formatSeen_ = false;
  int formatLine_ = 0;
  int firmwareLine_ = 0;
  int programLine_ = 0;
  std::array<int, kItemCount> itemLines_{};
};

// A name from the driver goes on one line of the header, whatever it holds.
std::string OneLine(std::string_view text) {
  std::string s(text);
  for (char& c : s)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return s;
}

const char* GroupHeading(Group group) {
  switch (group) {
    case Group::Motor:
      return "# Motor settings";
    case Group::Parameter:
      return "# Parameters Prm 9 to Prm 25";
    case Group::Service:
      return "# Service values";
  }
  return "#";
}

}  // namespace

ParsedFile ParseParameterFile(std::string_view bytes) {
  return Parser().Parse(ToUtf8(bytes));
}

std::string Describe(const FileError& e, Language language) {
  using namespace texts;
  std::string s = Fill(kFileLine, language, {std::to_string(e.line)});
  switch (e.problem) {
    case FileProblem::NotParameterFile:
      s += Pick(kNotParameterFile, language);
      break;
    case FileProblem::NewerFormat:
      s += Fill(kNewerFormat, language, {e.value});
      break;
    case FileProblem::NoEquals:
      s += Pick(kNameValueExpected, language);
      break;
    case FileProblem::UnknownName:
      s += Fill(kUnknownName, language, {"\"" + e.name + "\""});
      break;
    case FileProblem::BadValue: {
      s += e.name + " = " + e.value + ": ";
      std::string accepted;
      if (e.name == "firmware") {
        accepted = Pick(kVersionExpected, language);
      } else if (const auto item = ItemByName(e.name)) {
        accepted = AcceptedValues(Items()[*item]);
        if (accepted.empty()) accepted = Pick(kAny32BitInteger, language);
      }
      s += Fill(kInvalidValue, language, {accepted});
      break;
    }
    case FileProblem::Duplicate:
      s += Fill(kGivenAgain, language, {e.name, std::to_string(e.firstLine)});
      break;
  }
  return s;
}

std::vector<std::size_t> RefusedValues(const ParameterSet& set) {
  std::vector<std::size_t> refused;
  for (std::size_t i = 0; i < kItemCount; ++i)
    if (set.values[i] && !Accepts(Items()[i], *set.values[i])) refused.push_back(i);
  return refused;
}

std::string FormatParameterFile(const ParameterSet& set) {
  std::string out = "# Kivra-PS parameter set\nformat = " + std::to_string(kFormatVersion) + "\n";
  if (set.firmware) out += "firmware = " + FormatFirmware(*set.firmware) + "\n";
  if (set.programName && !set.programName->empty())
    out += "program = " + OneLine(*set.programName) + "\n";
  std::optional<Group> group;
  for (std::size_t i = 0; i < kItemCount; ++i) {
    const Item& item = Items()[i];
    if (!set.values[i]) continue;
    if (group != item.group) {
      group = item.group;
      out += "\n";
      out += GroupHeading(item.group);
      out += "\n";
    }
    const std::string line = std::string(item.name) + " = " + FormatValue(item, *set.values[i]);
    if (Accepts(item, *set.values[i])) {
      out += line + "\n";
    } else {
      out += "# " + line + "  (refused on loading: not " + AcceptedValues(item) + ")\n";
    }
  }
  return out;
}

}  // namespace kivra::params
