#pragma once

// Accepted status replies as records: one CSV row or one JSON line each, with the time and
// every decoded field, and a gap record where the driver stopped answering or the port went
// away. The recorder writes through a line writer and stops at the first write that fails,
// so what was written before stays whole.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "link/frames.h"

namespace kivra::link {

struct StatusSample {
  std::int64_t timeMs = 0;  // since the start of the watch
  std::int64_t wallMs = 0;  // milliseconds since 1970-01-01 UTC
  StatusReply status{};
};

enum class RecordFormat { Csv, Json };

// "time_ms,wall_time,event,input1,...,address" and its line break.
std::string CsvHeader();
// One record and its line break. `event` is "status" for a reply; a gap row has the word
// "gap" and no fields.
std::string CsvRow(const StatusSample& sample);
std::string CsvGap(std::int64_t timeMs, std::int64_t wallMs);
// JSON Lines: one object per line, the CSV columns as keys.
std::string JsonRow(const StatusSample& sample);
std::string JsonGap(std::int64_t timeMs, std::int64_t wallMs);
// "2026-12-08T04:32:22.125Z"
std::string WallTimeText(std::int64_t wallMs);

class LineWriter {
 public:
  virtual ~LineWriter() = default;
  // Writes the text and hands it to the system; false when any of it could not be written.
  virtual bool Write(std::string_view text) = 0;
};

// A file created (or emptied) for the recording, or stdout. Every record is handed to the
// system as it is written, so an unplug or a crash keeps all rows before it; a record that a
// full disk takes only in part is cut off again.
class FileLineWriter final : public LineWriter {
 public:
  // Opens `path` for writing; Open() tells whether that worked, Error() why not.
  explicit FileLineWriter(const std::string& path);
  // Writes to a stream the caller owns (stdout).
  explicit FileLineWriter(std::FILE* stream) : file_(stream), owned_(false) {}
  ~FileLineWriter() override;
  FileLineWriter(const FileLineWriter&) = delete;
  FileLineWriter& operator=(const FileLineWriter&) = delete;

  bool Open() const { return file_ != nullptr; }
  // The system's words for the last failure ("Permission denied", "No space left on device").
  const std::string& Error() const { return error_; }
  bool Write(std::string_view text) override;

 private:
  std::FILE* file_ = nullptr;
  bool owned_ = true;
  std::size_t written_ = 0;
  std::string error_;
};

class StatusRecorder {
 public:
  StatusRecorder(LineWriter& writer, RecordFormat format) : writer_(writer), format_(format) {}

  // Writes the CSV header. False when it could not be written: the recorder has stopped.
  bool Start();
  // One accepted status reply. False when the write failed: the recorder has stopped and
  // records nothing more.
  bool Record(const StatusSample& sample);
  // The driver stopped answering or the port went away: one gap record per outage, however
  // often it is said before the next reply.
  bool Gap(std::int64_t timeMs, std::int64_t wallMs);

  bool Stopped() const { return stopped_; }
  std::uint64_t Records() const { return records_; }
  std::uint64_t Gaps() const { return gaps_; }

 private:
  bool Put(const std::string& text);

  LineWriter& writer_;
  RecordFormat format_;
  bool stopped_ = false;
  bool inGap_ = false;
  std::uint64_t records_ = 0;
  std::uint64_t gaps_ = 0;
};

}  // namespace kivra::link
