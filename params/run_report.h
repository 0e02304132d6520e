#pragma once

// The record of a production run: one row per driver, as CSV or JSON.

#include <span>
#include <string>
#include <string_view>

#include "common/language.h"
#include "params/flash.h"

namespace kivra::params {

struct RunInfo {
  std::string program;                    // the program file as given
  std::string parameters;                 // the parameter file, empty without one
  Language language = Language::English;  // of the reasons
};

// port,number,result,started,seconds,step,reason,firmware,program,slot: one header line, then
// one line per driver; RFC 4180 quoting, UTF-8, CR LF. A text cell that a spreadsheet would
// take for a formula starts with an apostrophe (common/csv.h); the JSON has no such cells.
std::string ReportCsv(const RunInfo& info, std::span<const FlashResult> results);
// {"program": ..., "parameters": ..., "passed": n, "failed": n, "drivers": [{...}, ...]}
std::string ReportJson(const RunInfo& info, std::span<const FlashResult> results);
// JSON when the path ends in .json (any case), CSV otherwise.
std::string Report(std::string_view path, const RunInfo& info,
                   std::span<const FlashResult> results);

// "2026-12-08T14:03:07Z"
std::string UtcTime(std::chrono::system_clock::time_point t);

}  // namespace kivra::params
