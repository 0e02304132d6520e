#pragma once

// The port's diagnostic log: what happened on the line since the port opened, kept in a
// bounded amount of memory and written out as a text file ("SERIAL.LOG") when the port
// closes. Each entry costs a 16-byte header (type, subtype, time, value, data length) plus
// its data; when the log is full the oldest entries make room for new ones.

#include <cstdint>
#include <deque>
#include <filesystem>
#include <mutex>
#include <span>
#include <string>
#include <vector>

namespace kivra::serial {

struct LogEntry {
  std::string type;     // Device, Data, Line, Modem, User
  std::string subtype;  // e.g. Open, Read, Write, Hang-up
  std::uint32_t timeMs = 0;
  std::uint32_t value = 0;
  std::vector<std::uint8_t> data;
};

inline constexpr std::size_t LogEntryHeaderSize = 16;

// Thread-safe: every reader and writer of the entries goes through the log's own lock.
class EventLog {
 public:
  explicit EventLog(std::size_t capacity, bool enabled = true);

  void SetEnabled(bool enabled);
  bool Enabled() const;

  // Adds an entry while the log is enabled. An entry that could never fit (its header and
  // data take `capacity` bytes or more) is not logged at all.
  void Add(std::string type, std::string subtype, std::uint32_t timeMs, std::uint32_t value,
           std::span<const std::uint8_t> data = {});

  bool Empty() const;
  std::size_t BytesUsed() const;
  std::vector<LogEntry> Entries() const;

  // Hands over every entry, oldest first, and empties the log.
  std::vector<LogEntry> Take();

 private:
  mutable std::mutex mu_;
  std::size_t capacity_;
  bool enabled_;
  std::size_t used_ = 0;
  std::deque<LogEntry> entries_;
};

// One line of the log file (without the line break): time, type, subtype and value in
// fixed columns, then the data, printable bytes as they are and others in brackets, in
// hexadecimal ("[06]") or decimal ("[6]").
std::string FormatLogEntry(const LogEntry& entry, bool hex);

struct LogFileHeader {
  std::string device;    // the port as the user named it, and the system device behind it
  std::string dateTime;  // "dd/mm/yy, hh:mm:ss"
};

// "dd/mm/yy, hh:mm:ss" in local time.
std::string LogDateTimeNow();

// The whole file text: header lines, two column-title lines, one line per entry.
std::string FormatLogFile(const LogFileHeader& header, const std::vector<LogEntry>& entries,
                          bool hex);

// Replaces `path` with the log text. The text goes to a temporary file beside it first, so
// a failed write leaves the previous log intact. Returns false (with `error` set) on failure.
bool WriteLogFile(const std::filesystem::path& path, const std::string& text, std::string* error);

}  // namespace kivra::serial
