// Files the user names are read only when they are regular files of a sane size, and the
// refusal says what the name leads to in both languages.

#include "common/file_read.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "common/texts.h"

namespace kivra {
namespace {

namespace fs = std::filesystem;

class FileRead : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kivra_file_read_" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    if (socket_ >= 0) ::close(socket_);
    fs::remove_all(dir_);
  }
  std::string Write(const std::string& name, const std::string& bytes) {
    const fs::path p = dir_ / name;
    std::ofstream(p, std::ios::binary) << bytes;
    return p.string();
  }
  std::string Fifo() {
    const fs::path p = dir_ / "fifo";
    EXPECT_EQ(::mkfifo(p.c_str(), 0600), 0);
    return p.string();
  }
  std::string Socket() {
    const fs::path p = dir_ / "sock";
    socket_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, p.c_str(), sizeof address.sun_path - 1);
    EXPECT_EQ(::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    return p.string();
  }

  fs::path dir_;
  int socket_ = -1;
};

TEST_F(FileRead, RegularFilesAreReadWhole) {
  const std::string bytes("A;\r\r\n\0\xFD", 7);
  struct Case {
    std::string path;
    FileKind kind;
    std::string expected;
  };
  fs::create_symlink(Write("target.kv3", bytes), dir_ / "link.kv3");
  const Case cases[] = {
      {Write("p.kv3", bytes), FileKind::Program, bytes},
      {Write("empty.kv3", ""), FileKind::Program, ""},
      {(dir_ / "link.kv3").string(), FileKind::Program, bytes},
      {Write("limit.txt", std::string(64 * 1024, 'x')), FileKind::Parameters,
       std::string(64 * 1024, 'x')},
      {Write("big.kv3", std::string(1024 * 1024, 'x')), FileKind::Program,
       std::string(1024 * 1024, 'x')},
  };
  for (const Case& c : cases) {
    FileReadError error;
    const auto read = ReadCheckedFile(c.path, c.kind, error);
    ASSERT_TRUE(read) << c.path << ": " << texts::FileNotRead(c.path, error, Language::English);
    EXPECT_EQ(*read, c.expected) << c.path;
    EXPECT_FALSE(CheckFile(c.path, c.kind)) << c.path;
  }
}

TEST_F(FileRead, FilesThatSayTheyAreEmptyAreReadToTheirEnd) {
  // The system's own files report a size of 0.
  FileReadError error;
  const auto read = ReadCheckedFile("/proc/self/status", FileKind::Settings, error);
  ASSERT_TRUE(read);
  EXPECT_NE(read->find("Name:"), std::string::npos);
}

TEST_F(FileRead, WhatIsNoRegularFileOrTooLargeIsRefusedWithWhatItIs) {
  fs::create_directories(dir_ / "folder.kv3");
  fs::create_symlink(dir_ / "folder.kv3", dir_ / "folder-link.kv3");
  struct Case {
    std::string path;
    FileKind kind;
    FileRefusal refusal;
    std::string english;
    std::string turkish;
  };
  const std::string fifo = Fifo();
  const std::string socket = Socket();
  const std::string missing = (dir_ / "missing.kv3").string();
  const std::string folder = (dir_ / "folder.kv3").string();
  const std::string folderLink = (dir_ / "folder-link.kv3").string();
  const std::string overProgram = Write("over.kv3", std::string(1024 * 1024 + 1, 'x'));
  const std::string overParameters = Write("over.txt", std::string(64 * 1024 + 1, 'x'));
  const Case cases[] = {
      {missing, FileKind::Program, FileRefusal::Missing, missing + ": there is no such file",
       missing + ": böyle bir dosya yok"},
      {(dir_ / "missing" / "x.kv3").string(), FileKind::Program, FileRefusal::Missing, "", ""},
      {folder, FileKind::Program, FileRefusal::Folder, folder + ": this is a folder, not a file",
       folder + ": bu bir klasör, dosya değil"},
      {folderLink, FileKind::Program, FileRefusal::Folder, "", ""},
      {"/dev/zero", FileKind::Program, FileRefusal::Device,
       "/dev/zero: this is a device, not a file", "/dev/zero: bu bir aygıt, dosya değil"},
      {"/dev/null", FileKind::Parameters, FileRefusal::Device, "", ""},
      {fifo, FileKind::Parameters, FileRefusal::Fifo, fifo + ": this is a pipe (FIFO), not a file",
       fifo + ": bu bir boru (FIFO), dosya değil"},
      {socket, FileKind::Settings, FileRefusal::Socket, socket + ": this is a socket, not a file",
       socket + ": bu bir soket, dosya değil"},
      {overProgram, FileKind::Program, FileRefusal::TooLarge,
       overProgram + ": too large: a program file holds at most 1 MB",
       overProgram + ": çok büyük: bir program dosyası en çok 1 MB olabilir"},
      {overParameters, FileKind::Parameters, FileRefusal::TooLarge,
       overParameters + ": too large: a parameter file holds at most 64 KB",
       overParameters + ": çok büyük: bir parametre dosyası en çok 64 KB olabilir"},
      {overParameters, FileKind::Settings, FileRefusal::TooLarge,
       overParameters + ": too large: a settings file holds at most 64 KB",
       overParameters + ": çok büyük: bir ayar dosyası en çok 64 KB olabilir"},
  };
  for (const Case& c : cases) {
    FileReadError error;
    EXPECT_FALSE(ReadCheckedFile(c.path, c.kind, error)) << c.path;
    EXPECT_EQ(error.refusal, c.refusal) << c.path;
    const auto checked = CheckFile(c.path, c.kind);
    ASSERT_TRUE(checked) << c.path;
    EXPECT_EQ(checked->refusal, c.refusal) << c.path;
    if (c.english.empty()) continue;
    EXPECT_EQ(texts::FileNotRead(c.path, error, Language::English), c.english);
    EXPECT_EQ(texts::FileNotRead(c.path, error, Language::Turkish), c.turkish);
  }
}

TEST_F(FileRead, UnreadableFileSaysSo) {
  const std::string path = Write("locked.kv3", "END;");
  ::chmod(path.c_str(), 0);
  FileReadError error{FileRefusal::NoPermission, FileKind::Program, {}};
  // Root reads every file, so there the refusal is only as the reader would report it.
  if (::access(path.c_str(), R_OK) != 0) {
    error = {};
    EXPECT_FALSE(ReadCheckedFile(path, FileKind::Program, error));
    EXPECT_EQ(error.refusal, FileRefusal::NoPermission);
  }
  EXPECT_EQ(texts::FileNotRead(path, error, Language::English),
            path + ": no permission to read it");
  EXPECT_EQ(texts::FileNotRead(path, error, Language::Turkish), path + ": okuma izni yok");
}

TEST(FileReadText, SystemReasonFollowsInBothLanguages) {
  const FileReadError error{FileRefusal::ReadFailed, FileKind::Program, "Input/output error"};
  EXPECT_EQ(texts::FileNotRead("a.kv3", error, Language::English),
            "a.kv3: cannot be read: Input/output error");
  EXPECT_EQ(texts::FileNotRead("a.kv3", error, Language::Turkish),
            "a.kv3: okunamadı: Input/output error");
}

}  // namespace
}  // namespace kivra
