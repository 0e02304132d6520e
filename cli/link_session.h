#pragma once

// What `kivra download`, `kivra status` and `kivra send` share: the --port and --lang
// options, the serial port opened as the desktop opens it, and the link engine stepped by
// a real timer. Messages go to stderr; the boxes the engine fills are kept for printing.

#include <csignal>
#include <map>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "link/engine.h"
#include "link/frame_tap.h"
#include "link/port_selection.h"
#include "link/serial_link.h"
#include "link/tick_loop.h"

namespace kivra::cli {

struct LinkOptions {
  std::string port;  // as typed: a number or a device path
  bool english = true;
  Args operands;  // everything that is not an option
};

// Parses --port DEV / --port=DEV, --lang tr|en and the operands. On a usage error returns
// false with the message in `error`. The command's own options go to the operands: each of
// `valueOptions` followed by its value, each of `flagOptions` alone.
bool ParseLinkOptions(const Args& args, LinkOptions& options, std::string& error,
                      const std::vector<std::string>& valueOptions = {},
                      const std::vector<std::string>& flagOptions = {});

// The terminal as the link's window: message boxes and progress on stderr, boxes in memory.
class TerminalWindow final : public link::LinkView, public link::AppHooks {
 public:
  void SetColour(std::string_view, link::Colour) override {}
  void ShowLinkStatus(link::LinkStatus) override {}
  void SetText(std::string_view control, std::string_view utf8) override { texts_[std::string(control)] = utf8; }
  void ShowMessage(link::MessageKind kind, std::string_view utf8) override;
  void ShowProgress(std::string_view caption, std::uint32_t maximum) override;
  void SetProgressPosition(std::uint32_t position) override;
  void HideProgress() override;
  void SelectEditorLine(std::uint32_t) override {}
  void SetEditorReadOnly(bool) override {}
  void FocusEditor() override {}

  std::string BoxText(std::string_view box) override { return Text(box); }
  bool SourceEdited() override { return false; }
  void ClearSourceEdited() override {}
  bool CheckProgram() override { return false; }
  bool SaveProgram() override { return false; }
  void ReloadProgram() override {}
  std::uint32_t LineAtAddress(std::uint16_t) override { return 0; }

  std::string Text(std::string_view control) const;
  int MessageCount() const { return messages_; }

 private:
  std::map<std::string, std::string, std::less<>> texts_;
  std::string caption_;
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

  link::LinkEngine& Engine() { return engine_; }
  // Every frame on the line, for `kivra monitor`; its clock counts from the session's start.
  link::FrameTap& Tap() { return tap_; }
  std::int64_t ElapsedMs() const;
  TerminalWindow& Window() { return window_; }

 private:
  struct NoDialog final : link::PortDialogView {
    void SetDialogVisible(bool) override {}
    void SetNumberText(std::string_view) override {}
    void SetCancelCaption(std::string_view) override {}
  };
  // The port comes from the command line, never from a stored setting.
  struct OptionSettings final : link::SettingsStore {
    std::string port;
    std::string ReadSetting(std::string_view, std::string_view) override { return port; }
    void WriteSetting(std::string_view, std::string_view) override {}
  };

  sigset_t previousMask_{};  // before signals_, which fills it
  sigset_t signals_{};
  bool interrupted_ = false;
  link::SerialLink serial_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  link::FrameTap tap_;
  TerminalWindow window_;
  link::TickLoop loop_;
  link::LinkEngine engine_;
  OptionSettings settings_;
  NoDialog dialog_;
  link::PortSelection ports_;
};

}  // namespace kivra::cli
