#include "serial/event_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace kivra::serial {
namespace {

namespace fs = std::filesystem;

TEST(EventLog, EntryLinesHaveFixedColumnsAndReadableData) {
  struct Case {
    LogEntry entry;
    bool hex;
    std::string line;
  };
  const Case cases[] = {
      {{"Data", "Read", 17, 8, {0x08, 'K', 's', 0x00, 0x7F, 0xFF, ' ', '['}},
       true,
       "      17  Data      Read          00000008  [08]Ks[00][7F][FF] ["},
      {{"Data", "Write", 123456789, 3, {0x06, 'A', 0x0A}},
       false,
       "123456789  Data      Write         00000003  [6]A[10]"},
      {{"Line", "Read failed", 0, 0xDEADBEEF, {}},
       true,
       "       0  Line      Read failed   deadbeef  "},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatLogEntry(c.entry, c.hex), c.line);
}

TEST(EventLog, KeepsTheNewestEntriesWithinItsSize) {
  // Room for three entries with 4 data bytes each (16-byte headers).
  EventLog log(3 * (LogEntryHeaderSize + 4));
  for (std::uint32_t i = 0; i < 5; ++i) {
    const std::uint8_t data[4] = {static_cast<std::uint8_t>(i), 0, 0, 0};
    log.Add("Data", "Read", i, 4, data);
  }
  auto entries = log.Entries();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries.front().timeMs, 2u);
  EXPECT_EQ(entries.back().timeMs, 4u);
  EXPECT_EQ(log.BytesUsed(), 3 * (LogEntryHeaderSize + 4));

  // An entry as large as the whole log is not logged and displaces nothing.
  const std::vector<std::uint8_t> huge(3 * (LogEntryHeaderSize + 4) - LogEntryHeaderSize);
  log.Add("Data", "Read", 9, 0, huge);
  EXPECT_EQ(log.Entries().size(), 3u);

  // Taking empties it; a disabled log takes nothing in.
  EXPECT_EQ(log.Take().size(), 3u);
  EXPECT_TRUE(log.Empty());
  EXPECT_EQ(log.BytesUsed(), 0u);
  log.SetEnabled(false);
  log.Add("User", "Flush input", 1, 1);
  EXPECT_TRUE(log.Empty());
}

TEST(EventLog, FileHasHeaderTitlesAndOneLinePerEntry) {
  const std::vector<LogEntry> entries = {{"Data", "Read", 5, 1, {'s'}},
                                         {"Line", "Hang-up", 70, 0, {}}};
  const std::string text =
      FormatLogFile({"COM1 (/dev/ttyS0)", "07/12/24, 20:23:11"}, entries, true);
  std::istringstream in(text);
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  ASSERT_GE(lines.size(), 4u);
  EXPECT_NE(text.find("\nDevice: COM1 (/dev/ttyS0)\n"), std::string::npos);
  EXPECT_NE(text.find("\nDate/time: 07/12/24, 20:23:11\n"), std::string::npos);
  EXPECT_EQ(lines[lines.size() - 2], FormatLogEntry(entries[0], true));
  EXPECT_EQ(lines.back(), FormatLogEntry(entries[1], true));
  EXPECT_EQ(lines[lines.size() - 3].substr(0, 8), "--------");
}

TEST(EventLog, WritingReplacesTheFileAndReportsFailure) {
  const fs::path dir = fs::temp_directory_path() / ("kivra-log-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path file = dir / "SERIAL.LOG";
  std::string error;
  ASSERT_TRUE(WriteLogFile(file, "first, and longer\n", &error)) << error;
  ASSERT_TRUE(WriteLogFile(file, "second\n", &error)) << error;
  {
    // Closed before the folder goes: Windows removes no file that is open.
    std::ifstream in(file);
    std::stringstream s;
    s << in.rdbuf();
    EXPECT_EQ(s.str(), "second\n");
  }
  EXPECT_FALSE(fs::exists(dir / "SERIAL.LOG.tmp"));

  EXPECT_FALSE(WriteLogFile(dir / "missing" / "SERIAL.LOG", "x", &error));
  EXPECT_NE(error.find("missing"), std::string::npos) << error;
  fs::remove_all(dir);
}

}  // namespace
}  // namespace kivra::serial
