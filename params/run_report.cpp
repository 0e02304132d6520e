#include "params/run_report.h"

#include <cstdio>
#include <ctime>

#include "common/csv.h"

namespace kivra::params {
namespace {

struct Row {
  std::string port, number, result, started, seconds, step, reason, firmware, program, slot;
};

std::string_view StepKey(FlashStep step) {
  switch (step) {
    case FlashStep::Open:
      return "open";
    case FlashStep::Connect:
      return "connect";
    case FlashStep::Download:
      return "download";
    case FlashStep::Parameters:
      return "parameters";
    case FlashStep::Verify:
      return "verify";
    case FlashStep::ProgramName:
      return "program-name";
    case FlashStep::Done:
      return "done";
  }
  return {};
}

std::string Seconds(std::chrono::steady_clock::duration d) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", std::chrono::duration<double>(d).count());
  return text;
}

Row RowOf(const FlashResult& r, Language language) {
  return {r.port,
          std::to_string(r.number),
          r.passed ? "passed" : "failed",
          UtcTime(r.started),
          Seconds(r.duration),
          std::string(StepKey(r.step)),
          Reason(r, language),
          r.firmware ? FormatFirmware(*r.firmware) : "",
          r.programName,
          r.slot};
}

std::string JsonString(std::string_view s) {
  std::string out = "\"";
  for (char c : s) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

}  // namespace

std::string UtcTime(std::chrono::system_clock::time_point t) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(t);
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

std::string ReportCsv(const RunInfo& info, std::span<const FlashResult> results) {
  std::string out = "port,number,result,started,seconds,step,reason,firmware,program,slot\r\n";
  for (const FlashResult& r : results) {
    const Row row = RowOf(r, info.language);
    // The port, the reason, the program name and the slot come from the user, the driver
    // and the system: text cells. The number, the seconds and the firmware version are
    // numbers of our own.
    out += csv::TextField(row.port) + ',' + csv::Field(row.number) + ',' +
           csv::TextField(row.result) + ',' + csv::TextField(row.started) + ',' +
           csv::Field(row.seconds) + ',' + csv::TextField(row.step) + ',' +
           csv::TextField(row.reason) + ',' + csv::Field(row.firmware) + ',' +
           csv::TextField(row.program) + ',' + csv::TextField(row.slot) + "\r\n";
  }
  return out;
}

std::string ReportJson(const RunInfo& info, std::span<const FlashResult> results) {
  int passed = 0;
  for (const FlashResult& r : results) passed += r.passed ? 1 : 0;
  std::string out = "{\n  \"program\": " + JsonString(info.program) + ",\n  \"parameters\": " +
                    (info.parameters.empty() ? std::string("null") : JsonString(info.parameters)) +
                    ",\n  \"passed\": " + std::to_string(passed) + ",\n  \"failed\": " +
                    std::to_string(results.size() - static_cast<std::size_t>(passed)) +
                    ",\n  \"drivers\": [";
  for (std::size_t i = 0; i < results.size(); ++i) {
    const Row row = RowOf(results[i], info.language);
    out += i == 0 ? "\n" : ",\n";
    out += "    {\"port\": " + JsonString(row.port) + ", \"number\": " + row.number +
           ", \"result\": " + JsonString(row.result) + ", \"started\": " + JsonString(row.started) +
           ", \"seconds\": " + row.seconds + ", \"step\": " + JsonString(row.step) +
           ", \"reason\": " + JsonString(row.reason) + ", \"firmware\": " +
           (row.firmware.empty() ? std::string("null") : JsonString(row.firmware)) +
           ", \"program\": " + JsonString(row.program) +
           ", \"slot\": " + (row.slot.empty() ? std::string("null") : JsonString(row.slot)) + "}";
  }
  out += results.empty() ? "]\n}\n" : "\n  ]\n}\n";
  return out;
}

std::string Report(std::string_view path, const RunInfo& info,
                   std::span<const FlashResult> results) {
  const bool json = path.size() >= 5 && [&] {
    std::string tail(path.substr(path.size() - 5));
    for (char& c : tail) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return tail == ".json";
  }();
  return json ? ReportJson(info, results) : ReportCsv(info, results);
}

}  // namespace kivra::params
