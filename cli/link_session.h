#pragma once

// What `kivra download`, `kivra status` and `kivra send` share: the --port and --lang
// options, the serial port opened as the desktop opens it, and the link engine stepped by
// a real timer. Messages go to stderr; the replies the engine reports are kept for printing.

#include <memory>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "cli/console.h"
#include "link/engine.h"
#include "link/link_stack.h"
#include "link/tick_loop.h"

namespace kivra::cli {

struct LinkOptions {
  std::string port;  // as typed: a number or a device path
  Language language = Language::English;
  Args operands;  // everything that is not an option
};

// Parses --port DEV / --port=DEV, --lang tr|en and the operands. On a usage error returns
// false with the message in `error`. The command's own options go to the operands: each of
// `valueOptions` followed by its value, each of `flagOptions` alone.
bool ParseLinkOptions(const Args& args, LinkOptions& options, std::string& error,
                      const std::vector<std::string>& valueOptions = {},
                      const std::vector<std::string>& flagOptions = {});
// Checks the port's text as this system names ports; port 0 asks for the port on the
// terminal. On return `port` names the one chosen.
bool AskForPortZero(std::string& port, std::string& error, Language language = Language::English);

// The terminal as the link's observer: notices and port warnings on stderr, the download's
// progress, and the replies kept for printing.
class TerminalReport final : public link::LinkObserver, public link::PortView {
 public:
  explicit TerminalReport(Language language) : language_(language) {}

  void OnNotice(link::Notice notice, std::string_view detail) override;
  void OnDownload(const link::DownloadProgress& progress) override;
  void OnMotorSettings(const link::MotorSettings& m) override { motorSettings = m; }
  void OnParameterBlock(const link::ParameterBlock& p) override { parameters = p; }
  void OnMemoryValue(std::uint8_t value) override { memoryValue = value; }

  void ShowPortNumber(std::string_view) override {}
  void PortNotOpened(std::string_view port, link::OpenFailure reason, std::string_view detail,
                     bool startUp) override;
  void PortNotANumber() override;

  // Ends the progress line of a download that stops without the engine's word.
  void EndProgress();
  int MessageCount() const { return messages_; }

  std::optional<link::MotorSettings> motorSettings;
  std::optional<link::ParameterBlock> parameters;
  std::optional<std::uint8_t> memoryValue;

 private:
  void Print(std::string_view utf8);

  Language language_;
  std::string downloadFailure_;  // the line after "Download error!"
  std::uint32_t maximum_ = 0;
  int lastShown_ = -1;
  bool progress_ = false;
  int messages_ = 0;
};

class LinkSession {
 public:
  explicit LinkSession(const LinkOptions& options);
  ~LinkSession();

  // Opens the port; on failure the warning has been printed.
  bool Open();
  // Ticks until `done()` holds; false on SIGINT/SIGTERM or when `limit` passes first.
  bool RunUntil(const std::function<bool()>& done,
                std::chrono::steady_clock::duration limit = std::chrono::hours(24 * 365));
  // Waits (bounded) for the first accepted status reply.
  bool WaitForStatus(std::chrono::steady_clock::duration limit);
  bool Interrupted() const { return interrupted_; }

  link::LinkEngine& Engine() { return stack_.Engine(); }
  TerminalReport& Report() { return report_; }
  // Every frame on the line, for `kivra monitor`; its clock counts from the session's start.
  link::LineFeed& Feed() { return stack_.Feed(); }
  std::int64_t ElapsedMs() { return stack_.ElapsedMs(); }

 private:
  StopRequests stops_;  // before the serial component starts its threads
  bool interrupted_ = false;
  TerminalReport report_;
  link::TickLoop loop_;
  link::GivenPort settings_;  // from the command line, never a stored setting
  link::LinkStack stack_;
};

}  // namespace kivra::cli
