// `kivra sim` as a user starts it: a separate process, its port path on the first line.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "tests/sim/tool_port.h"

extern char** environ;

namespace kivra::sim {
namespace {

using namespace test;

class SimProcess {
 public:
  explicit SimProcess(std::vector<std::string> args) {
    int out[2], in[2], err[2];
    EXPECT_EQ(pipe(out), 0);
    EXPECT_EQ(pipe(in), 0);
    EXPECT_EQ(pipe(err), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]})
      posix_spawn_file_actions_addclose(&actions, fd);
    args.insert(args.begin(), {KIVRA_BINARY, "sim"});
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    EXPECT_EQ(posix_spawn(&pid_, KIVRA_BINARY, &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    close(err[1]);
    stdin_ = in[1];
    stdout_ = out[0];
    stderr_ = err[0];
  }
  ~SimProcess() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    for (int fd : {stdin_, stdout_, stderr_}) close(fd);
  }

  // The next line of standard output, without its line break ("" at the end).
  std::string Line() {
    std::string line;
    char c;
    pollfd p{stdout_, POLLIN, 0};
    while (poll(&p, 1, static_cast<int>(std::chrono::milliseconds(kPatience).count())) > 0 &&
           read(stdout_, &c, 1) == 1 && c != '\n') {
      line += c;
    }
    return line;
  }
  std::string Errors() {
    std::string text;
    char buffer[512];
    for (ssize_t n; (n = read(stderr_, buffer, sizeof buffer)) > 0;) text.append(buffer, n);
    return text;
  }
  void Type(const std::string& line) {
    ASSERT_EQ(write(stdin_, line.data(), line.size()), ssize_t(line.size()));
  }
  void Signal(int s) { kill(pid_, s); }
  // The exit status, or -1 when it did not end in time.
  int Wait() {
    const auto deadline = Clock::now() + kPatience;
    int status = 0;
    while (Clock::now() < deadline) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(5ms);
    }
    return -1;
  }

 private:
  pid_t pid_ = -1;
  int stdin_ = -1, stdout_ = -1, stderr_ = -1;
};

TEST(SimCommand, PrintsThePortAnswersAndStopsCleanlyOnASignal) {
  for (int signal : {SIGINT, SIGTERM}) {
    const std::string link =
        (std::filesystem::temp_directory_path() / ("kivra-sim-command-" + std::to_string(getpid())))
            .string();
    SimProcess sim({"--link", link, "--inputs", "0x21", "--verbose"});
    const std::string port = sim.Line();
    ASSERT_TRUE(port.starts_with("/dev/")) << port << sim.Errors();
    EXPECT_EQ(std::filesystem::read_symlink(link), port);
    {
      ToolPort tool(link);
      const Bytes reply = tool.Ask(Command('s'), 16);
      ASSERT_EQ(reply.size(), 16u);
      EXPECT_EQ(reply[2], 0x21);
    }
    EXPECT_NE(sim.Line().find("<- 08 4B 73 00 00 00 00 30  status request"), std::string::npos);
    EXPECT_NE(sim.Line().find("-> 10 73 21"), std::string::npos);
    sim.Signal(signal);
    EXPECT_EQ(sim.Wait(), 0);
    EXPECT_FALSE(std::filesystem::is_symlink(link));
  }
}

TEST(SimCommand, TakesControlLinesOnStandardInput) {
  SimProcess sim({});
  const std::string port = sim.Line();
  ToolPort tool(port);
  sim.Type("temperature 77\nbogus\nport\n");
  EXPECT_EQ(sim.Line().rfind("error: unknown: 'bogus'", 0), 0u);
  EXPECT_EQ(sim.Line(), port);
  EXPECT_EQ(tool.Ask(Command('s'), 16)[6], 77);
  sim.Type("quit\n");
  EXPECT_EQ(sim.Wait(), 0);
}

// The line options as the user gives them: the start-up line says what the line does, and
// the driver answers on it.
TEST(SimCommand, LineOptions) {
  struct Case {
    std::vector<std::string> args;
    const char* line;
    std::size_t statusLength;
  };
  const Case cases[] = {
      {{}, "(9600 baud, 8N2, byte by byte, 3 ms turnaround).", 16},
      {{"--usb-latency-ms", "16", "--status-length", "12", "--turnaround-ms", "5"},
       "(9600 baud, 8N2, byte by byte, 5 ms turnaround, USB packets every 16 ms).",
       12},
      {{"--whole-replies"}, "(9600 baud, 8N2, whole replies, 0 ms turnaround).", 16},
  };
  for (const auto& c : cases) {
    SimProcess sim(c.args);
    const std::string port = sim.Line();
    ToolPort tool(port);
    EXPECT_EQ(tool.Ask(Command('s'), c.statusLength).size(), c.statusLength);
    sim.Type("quit\n");
    EXPECT_EQ(sim.Wait(), 0);
    EXPECT_NE(sim.Errors().find(c.line), std::string::npos) << c.line;
  }
}

TEST(SimCommand, RefusesBadOptions) {
  struct Case {
    std::vector<std::string> args;
    const char* message;
  };
  const Case cases[] = {
      {{"--frobnicate"}, "unknown option '--frobnicate'"},
      {{"--link"}, "--link needs a value"},
      {{"--inputs", "99"}, "--inputs: inputs 0..63 expected"},
      {{"--step-ms", "0"}, "--step-ms needs 1..60000"},
      {{"--status-length", "65"}, "--status-length needs 12..64"},
      {{"--usb-latency-ms", "-1"}, "--usb-latency-ms needs 0..1000"},
  };
  for (const auto& c : cases) {
    SimProcess sim(c.args);
    EXPECT_EQ(sim.Wait(), 2);
    EXPECT_NE(sim.Errors().find(c.message), std::string::npos) << c.message;
  }
}

}  // namespace
}  // namespace kivra::sim
