#include "serial/event_log.h"

#include <cstdio>
#include <ctime>
#include <fstream>

#include "common/file_path.h"
#include "serial/device.h"

namespace kivra::serial {

EventLog::EventLog(std::size_t capacity, bool enabled) : capacity_(capacity), enabled_(enabled) {}

void EventLog::SetEnabled(bool enabled) {
  std::lock_guard lock(mu_);
  enabled_ = enabled;
}

bool EventLog::Enabled() const {
  std::lock_guard lock(mu_);
  return enabled_;
}

void EventLog::Add(std::string type, std::string subtype, std::uint32_t timeMs, std::uint32_t value,
                   std::span<const std::uint8_t> data) {
  const std::size_t size = LogEntryHeaderSize + data.size();
  std::lock_guard lock(mu_);
  if (!enabled_ || size >= capacity_) return;
  while (used_ + size > capacity_) {
    used_ -= LogEntryHeaderSize + entries_.front().data.size();
    entries_.pop_front();
  }
  entries_.push_back({std::move(type), std::move(subtype), timeMs, value,
                      std::vector<std::uint8_t>(data.begin(), data.end())});
  used_ += size;
}

bool EventLog::Empty() const {
  std::lock_guard lock(mu_);
  return entries_.empty();
}

std::size_t EventLog::BytesUsed() const {
  std::lock_guard lock(mu_);
  return used_;
}

std::vector<LogEntry> EventLog::Entries() const {
  std::lock_guard lock(mu_);
  return {entries_.begin(), entries_.end()};
}

std::vector<LogEntry> EventLog::Take() {
  std::lock_guard lock(mu_);
  std::vector<LogEntry> out(std::make_move_iterator(entries_.begin()),
                            std::make_move_iterator(entries_.end()));
  entries_.clear();
  used_ = 0;
  return out;
}

std::string FormatLogEntry(const LogEntry& entry, bool hex) {
  char head[80];
  const std::string time = std::to_string(entry.timeMs);
  // The value column is eight hex digits; "%08x" prints what the traditional "%08.8x"
  // does, without the flag combination compilers warn about.
  std::snprintf(head, sizeof head, "%8s  %-8s  %-12s  %08x  ", time.c_str(), entry.type.c_str(),
                entry.subtype.c_str(), static_cast<unsigned>(entry.value));
  std::string line = head;
  for (const std::uint8_t b : entry.data) {
    if (b >= 0x20 && b < 0x7F) {
      line += static_cast<char>(b);
    } else {
      char code[8];
      std::snprintf(code, sizeof code, hex ? "[%02X]" : "[%u]", static_cast<unsigned>(b));
      line += code;
    }
  }
  return line;
}

std::string LogDateTimeNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#if defined(_WIN32)
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  char buf[32];
  std::strftime(buf, sizeof buf, "%d/%m/%y, %H:%M:%S", &local);
  return buf;
}

namespace {

std::string CompilerName() {
#if defined(__clang__)
  return "clang " __clang_version__;
#elif defined(__GNUC__)
  return "GCC " __VERSION__;
#else
  return "unknown";
#endif
}

}  // namespace

std::string FormatLogFile(const LogFileHeader& header, const std::vector<LogEntry>& entries,
                          bool hex) {
  std::string text;
  text += "Kivra-PS serial port " KIVRA_VERSION "\n";
  text += "Compiler: " + CompilerName() + "\n";
  text += "Operating system: " + OperatingSystemName() + "\n";
  text += "Device: " + header.device + "\n";
  text += "Date/time: " + header.dateTime + "\n";
  text += "\n";
  text += "    Time  Type      Subtype       Value     Data\n";
  text += "--------  --------  ------------  --------  ----\n";
  for (const auto& e : entries) text += FormatLogEntry(e, hex) + "\n";
  return text;
}

bool WriteLogFile(const std::filesystem::path& path, const std::string& text, std::string* error) {
  std::filesystem::path tmp = path;
  tmp += ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (out) out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (out) out.flush();
    if (!out) {
      if (error) *error = "cannot write " + Utf8FromPath(tmp);
      std::error_code ignored;
      std::filesystem::remove(tmp, ignored);
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(tmp, path, ec);
  if (ec) {
    if (error) *error = "cannot replace " + Utf8FromPath(path) + ": " + ec.message();
    std::error_code ignored;
    std::filesystem::remove(tmp, ignored);
    return false;
  }
  return true;
}

}  // namespace kivra::serial
