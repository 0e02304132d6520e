// Whole-or-nothing writes and UTF-8 file names on Windows.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/atomic_file.h"
#include "common/file_path.h"

namespace kivra {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(AtomicFileWindows, WritesAndReplacesUnderAUtf8NameLeavingNothingBehind) {
  const fs::path dir =
      fs::temp_directory_path() / ("kivra_atomic_" + std::to_string(GetCurrentProcessId()));
  fs::create_directories(dir);
  const std::string name = Utf8FromPath(dir) + "\\Çıkış ğüşöç.txt";
  std::string why;
  ASSERT_TRUE(WriteFileAtomically(name, "first", why)) << why;
  EXPECT_EQ(Read(PathFromUtf8(name)), "first");
  ASSERT_TRUE(WriteFileAtomically(name, "second, longer", why)) << why;
  EXPECT_EQ(Read(PathFromUtf8(name)), "second, longer");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1);

  std::FILE* f = OpenFile(name, "rb");
  ASSERT_NE(f, nullptr);
  char buffer[8] = {};
  EXPECT_EQ(std::fread(buffer, 1, 6, f), 6u);
  std::fclose(f);
  EXPECT_EQ(std::string(buffer), "second");

  // A folder that is not there: refused with the system's words, nothing written.
  const std::string missing = Utf8FromPath(dir) + "\\yok\\set.txt";
  EXPECT_FALSE(WriteFileAtomically(missing, "x", why));
  EXPECT_EQ(why.rfind(missing + ": ", 0), 0u) << why;
  EXPECT_GT(why.size(), missing.size() + 2);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace kivra
