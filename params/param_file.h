#pragma once

// The parameter file: a text of our own, one `name = value` per line.
//
//   # Kivra-PS parameter set
//   format = 1
//   firmware = 1.2
//   program = HOMING.KV3
//
//   speed = 1200
//   direction = R
//   prm9 = 1000
//   service1 = 100
//
// The first line that is neither blank nor a comment (`#` first) names the format; the
// firmware version and the program name are known only for a set read from a driver.
// Every value is checked as the window checks it before sending, and a file with an
// unknown name, a bad value or a name given twice is refused whole, with its line. A
// value the file leaves out is not part of the set. Line breaks may be LF or CR LF, and
// the text UTF-8 or code page 1254 (comments and the program name are the only places
// either shows).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/language.h"
#include "params/param_set.h"

namespace kivra::params {

inline constexpr int kFormatVersion = 1;

enum class FileProblem {
  NotParameterFile,  // the first line is not `format = N`
  NewerFormat,       // a format this program does not know yet
  NoEquals,          // neither a comment nor `name = value`
  UnknownName,
  BadValue,
  Duplicate,
};

struct FileError {
  FileProblem problem;
  int line;  // 1-based
  std::string name;
  std::string value;
  int firstLine = 0;  // Duplicate: where the name was first given
};

struct ParsedFile {
  ParameterSet set;
  std::optional<FileError> error;  // when set, `set` is not to be used
};

ParsedFile ParseParameterFile(std::string_view bytes);

// "line 7: unknown name "sped"" and the like, in the user's language.
std::string Describe(const FileError& error, Language language);

// The file's text, UTF-8 with LF line breaks. A value the checks would refuse on loading
// (a driver can report a speed of 0) is written as a comment that says why, so that the
// file loads and the value is left alone on the next driver.
std::string FormatParameterFile(const ParameterSet& set);
// The values of `set` that FormatParameterFile writes as comments, in file order.
std::vector<std::size_t> RefusedValues(const ParameterSet& set);

}  // namespace kivra::params
