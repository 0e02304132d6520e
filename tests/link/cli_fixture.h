#pragma once

// Runs the kivra program against a simulated driver that the test process hosts.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "compiler/compile.h"
#include "sim/simulator.h"

namespace kivra::link::testing {

namespace fs = std::filesystem;

struct Result {
  int status = -1;
  std::string out, err;
};

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("kivra_cli_test_" + std::to_string(getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  Result Run(const std::string& args) {
    const auto out = dir_ / "out", err = dir_ / "err";
    const std::string command = std::string(KIVRA_BINARY) + " " + args + " >" + out.string() +
                                " 2>" + err.string() + " </dev/null";
    Result r;
    const int raw = std::system(command.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = Read(out);
    r.err = Read(err);
    return r;
  }
  static std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  fs::path Write(const std::string& name, const std::vector<std::string>& lines) {
    const auto p = dir_ / name;
    std::ofstream out(p, std::ios::binary);
    for (const auto& l : lines) out << l << "\r\n";
    return p;
  }

  sim::Simulator sim_;
  fs::path dir_;
};

}  // namespace kivra::link::testing
