#pragma once

// Opening the serial port at start-up with the remembered port, and the port dialog that
// chooses another. A port is a number n (on Linux /dev/ttyS<n-1>, the usual PC numbering)
// or a device path such as /dev/ttyUSB0, accepted wherever a number is.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "link/engine.h"
#include "link/view.h"

namespace kivra::link {

struct PortName {
  std::uint8_t number = 0;
  std::string path;  // set for a device path; then number is unused

  bool IsPath() const { return !path.empty(); }
  // As the displays and messages show it: the number in decimal, or the path.
  std::string Text() const { return IsPath() ? path : std::to_string(number); }
  bool operator==(const PortName&) const = default;
};

// A number (taken modulo 256, as the port number is a byte) or a path starting with '/'.
std::optional<PortName> ParsePortName(std::string_view text);

// The serial component's side. Both may throw std::exception with the component's message.
class PortOpener {
 public:
  virtual ~PortOpener() = default;
  // Selects the port; reopens it when it was open and the name differs.
  virtual void SetPort(const PortName& port) = 0;
  virtual void SetOpen(bool open) = 0;
};

// The per-user settings: a missing or empty value reads as its default.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual std::string ReadSetting(std::string_view name, std::string_view defaultValue) = 0;
  virtual void WriteSetting(std::string_view name, std::string_view value) = 0;
};

// The port dialog window.
class PortDialogView {
 public:
  virtual ~PortDialogView() = default;
  virtual void SetDialogVisible(bool visible) = 0;
  virtual void SetNumberText(std::string_view text) = 0;
  virtual void SetCancelCaption(std::string_view text) = 0;
};

inline constexpr std::string_view kComPortSetting = "COMPORT";

class PortSelection {
 public:
  PortSelection(LinkEngine& engine, PortOpener& opener, SettingsStore& settings, LinkView& view,
                PortDialogView& dialog);

  // The main window's show step: idle with polling, then the remembered port opened.
  void StartUp();
  // The settings menu's "Com Port ..." item, and the dialog's creation and buttons.
  void ShowDialog();
  void DialogCreated();
  void DialogOk(std::string_view text);
  void DialogCancel();

  const PortName& Current() const { return current_; }
  // Why the last open failed, in the serial component's words ("" after a success).
  const std::string& LastOpenError() const { return lastOpenError_; }

 private:
  // Selects and opens current_; on failure the link is off and the user told.
  bool OpenCurrent();

  LinkEngine& engine_;
  PortOpener& opener_;
  SettingsStore& settings_;
  LinkView& view_;
  PortDialogView& dialog_;
  PortName current_;
  std::string lastOpenError_;
};

}  // namespace kivra::link
