#include "link/status_record.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "common/csv.h"
#include "common/file_path.h"

namespace kivra::link {
namespace {

constexpr const char* kColumns[] = {
    "time_ms",        "wall_time",     "event",    "input1",      "input2",
    "input3",         "input4",        "input5",   "input6",      "output1",
    "output2",        "analog1",       "analog2",  "temperature", "controller_mode",
    "script_running", "motor_running", "firmware", "address",
};
constexpr std::size_t kFieldColumns = std::size(kColumns) - 3;

// The decoded fields in column order, as numbers in text.
std::array<std::string, kFieldColumns> Fields(const StatusReply& s) {
  // A flag is one character made in place: GCC 12 at -O3 warns (falsely) of overlapping
  // copies when a string literal is assigned to an element here.
  const auto flag = [](bool on) { return std::string(1, on ? '1' : '0'); };
  std::array<std::string, kFieldColumns> f;
  std::size_t i = 0;
  for (int n = 1; n <= 6; ++n) f[i++] = flag(s.Input(n));
  for (int n = 1; n <= 2; ++n) f[i++] = flag(s.Output(n));
  f[i++] = std::to_string(s.analog1);
  f[i++] = std::to_string(s.analog2);
  f[i++] = std::to_string(s.temperature);
  f[i++] = flag(s.ControllerMode());
  f[i++] = flag(s.ScriptRunning());
  f[i++] = flag(s.MotorRunning());
  f[i++] = std::to_string(s.firmware / 10) + "." + std::to_string(s.firmware % 10);
  f[i++] = std::to_string(s.address);
  return f;
}

// The time and the event are the only text cells; everything after them is a number.
std::string CsvStart(std::int64_t timeMs, std::int64_t wallMs, const char* event) {
  return std::to_string(timeMs) + "," + csv::TextField(WallTimeText(wallMs)) + "," +
         csv::TextField(event);
}

std::string JsonStart(std::int64_t timeMs, std::int64_t wallMs, const char* event) {
  return "{\"time_ms\":" + std::to_string(timeMs) + ",\"wall_time\":\"" + WallTimeText(wallMs) +
         "\",\"event\":\"" + event + "\"";
}

}  // namespace

std::string WallTimeText(std::int64_t wallMs) {
  const std::int64_t ms = ((wallMs % 1000) + 1000) % 1000;
  const std::time_t seconds = static_cast<std::time_t>((wallMs - ms) / 1000);
  std::tm tm{};
  gmtime_r(&seconds, &tm);
  char text[40];
  const std::size_t n = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &tm);
  std::snprintf(text + n, sizeof text - n, ".%03dZ", static_cast<int>(ms));
  return text;
}

std::string CsvHeader() {
  std::string s;
  for (const char* c : kColumns) {
    if (!s.empty()) s += ',';
    s += c;
  }
  return s + "\n";
}

std::string CsvRow(const StatusSample& sample) {
  std::string s = CsvStart(sample.timeMs, sample.wallMs, "status");
  for (const std::string& f : Fields(sample.status)) s += "," + f;
  return s + "\n";
}

std::string CsvGap(std::int64_t timeMs, std::int64_t wallMs) {
  return CsvStart(timeMs, wallMs, "gap") + std::string(kFieldColumns, ',') + "\n";
}

std::string JsonRow(const StatusSample& sample) {
  std::string s = JsonStart(sample.timeMs, sample.wallMs, "status");
  const auto fields = Fields(sample.status);
  for (std::size_t i = 0; i < kFieldColumns; ++i)
    s += std::string(",\"") + kColumns[i + 3] + "\":" + fields[i];
  return s + "}\n";
}

std::string JsonGap(std::int64_t timeMs, std::int64_t wallMs) {
  return JsonStart(timeMs, wallMs, "gap") + "}\n";
}

FileLineWriter::FileLineWriter(const std::string& path) : file_(OpenFile(path, "w")) {
  if (!file_) {
    error_ = std::strerror(errno);
    return;
  }
  // Each record goes to the system in one write: no bytes wait in a buffer that a failed
  // write would leave behind.
  std::setvbuf(file_, nullptr, _IONBF, 0);
}

FileLineWriter::~FileLineWriter() {
  if (file_ && owned_) std::fclose(file_);
}

bool FileLineWriter::Write(std::string_view text) {
  if (!file_) return false;
  errno = 0;
  const bool ok =
      std::fwrite(text.data(), 1, text.size(), file_) == text.size() && std::fflush(file_) == 0;
  if (ok) {
    written_ += text.size();
    return true;
  }
  error_ = std::strerror(errno != 0 ? errno : EIO);
  // A record the disk took only in part is cut off again: the file ends with a whole one.
  if (owned_) (void)!ftruncate(fileno(file_), static_cast<off_t>(written_));
  return false;
}

bool StatusRecorder::Put(const std::string& text) {
  if (stopped_) return false;
  if (!writer_.Write(text)) stopped_ = true;
  return !stopped_;
}

bool StatusRecorder::Start() {
  inGap_ = false;
  return format_ == RecordFormat::Csv ? Put(CsvHeader()) : !stopped_;
}

bool StatusRecorder::Record(const StatusSample& sample) {
  if (!Put(format_ == RecordFormat::Csv ? CsvRow(sample) : JsonRow(sample))) return false;
  inGap_ = false;
  ++records_;
  return true;
}

bool StatusRecorder::Gap(std::int64_t timeMs, std::int64_t wallMs) {
  if (inGap_ || stopped_) return !stopped_;
  if (!Put(format_ == RecordFormat::Csv ? CsvGap(timeMs, wallMs) : JsonGap(timeMs, wallMs)))
    return false;
  inGap_ = true;
  ++gaps_;
  return true;
}

}  // namespace kivra::link
