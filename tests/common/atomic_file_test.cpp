// Files written whole or not at all.

#include "common/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace kivra {
namespace {

namespace fs = std::filesystem;

class AtomicFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kivra_atomic_" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  static std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::size_t Entries() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {}));
  }

  fs::path dir_;
};

TEST_F(AtomicFile, ReplacesKeepingPermissionsAndLeavesNothingBehind) {
  const fs::path file = dir_ / "set.txt";
  std::string why;
  ASSERT_TRUE(WriteFileAtomically(file.string(), "first", why)) << why;
  ::chmod(file.c_str(), 0640);
  ASSERT_TRUE(WriteFileAtomically(file.string(), std::string(100000, 'x'), why)) << why;
  EXPECT_EQ(Read(file), std::string(100000, 'x'));
  struct stat st {};
  ::stat(file.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(Entries(), 1u);
}

TEST_F(AtomicFile, FailureLeavesWhatWasThereAndSaysWhy) {
  // A folder in the file's place cannot be replaced, by root either.
  const fs::path taken = dir_ / "set.txt";
  fs::create_directories(taken / "inside");
  std::string why;
  EXPECT_FALSE(WriteFileAtomically(taken.string(), "new", why));
  EXPECT_NE(why.find("Is a directory"), std::string::npos) << why;
  EXPECT_TRUE(fs::is_directory(taken / "inside"));
  EXPECT_EQ(Entries(), 1u);
  EXPECT_FALSE(WriteFileAtomically((dir_ / "no" / "such").string(), "x", why));
  EXPECT_NE(why.find("No such file or directory"), std::string::npos) << why;
}

}  // namespace
}  // namespace kivra
