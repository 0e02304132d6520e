#pragma once

// Opening the serial port at start-up with the remembered port, the port dialog that
// chooses another, and finding the port again when its device went away and came back.
// A port is a number n (on Linux /dev/ttyS<n-1>, the usual PC numbering) or a device path
// such as /dev/ttyUSB0, accepted wherever a number is.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "link/engine.h"
#include "link/port.h"

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

// The serial component's side. SetPort and SetOpen may throw std::exception with the
// component's message; a failed open throws PortOpenError when the reason is known.
class PortOpener {
 public:
  virtual ~PortOpener() = default;
  // Selects the port; reopens it when it was open and the name differs.
  virtual void SetPort(const PortName& port) = 0;
  virtual void SetOpen(bool open) = 0;
  // True once the open port's device has gone away (adapter pulled, line hung up).
  virtual bool DeviceLost() = 0;
  // Whether the device of `port` is there to be opened; looks without opening.
  virtual bool DevicePresent(const PortName& port) = 0;
};

// The per-user settings: a missing or empty value reads as its default.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual std::string ReadSetting(std::string_view name, std::string_view defaultValue) = 0;
  virtual void WriteSetting(std::string_view name, std::string_view value) = 0;
};

// What the port selection shows: the number displays, the port dialog and its warnings.
class PortView {
 public:
  virtual ~PortView() = default;
  // The port number displays: the port as PortName::Text() gives it, empty for none.
  virtual void ShowPortNumber(std::string_view text) = 0;
  // A port that did not open: `port` as shown, why, and the serial component's own words.
  // `startUp` for the remembered port at start-up.
  virtual void PortNotOpened(std::string_view port, OpenFailure reason, std::string_view detail,
                             bool startUp) = 0;
  // The dialog's text names no port.
  virtual void PortNotANumber() = 0;
  virtual void SetDialogVisible(bool visible) = 0;
  virtual void SetNumberText(std::string_view text) = 0;
};

inline constexpr std::string_view kComPortSetting = "COMPORT";

class PortSelection {
 public:
  // How often a lost device is looked for, in the link timer's time.
  static constexpr int kLookForDeviceMs = 500;

  PortSelection(LinkEngine& engine, PortOpener& opener, SettingsStore& settings, PortView& view);

  // The main window's show step: idle with polling, then the remembered port opened.
  void StartUp();
  // The settings menu's "Com Port ..." item, and the dialog's creation and buttons.
  void ShowDialog();
  void DialogCreated();
  void DialogOk(std::string_view text);
  void DialogCancel();

  // Before every tick of the engine: notices a device that went away under the open port,
  // and while it is gone, looks for it at its path every kLookForDeviceMs and opens it
  // again with the same settings when it is back. Choosing a port ends the wait.
  void Tick();
  bool WaitingForDevice() const { return waiting_; }

  const PortName& Current() const { return current_; }
  // Why the last open failed, in the serial component's words ("" after a success).
  const std::string& LastOpenError() const { return lastOpenError_; }

 private:
  // Selects and opens current_; on failure the link is off and the user told.
  bool OpenCurrent(bool startUp);
  void LinkOff();

  LinkEngine& engine_;
  PortOpener& opener_;
  SettingsStore& settings_;
  PortView& view_;
  PortName current_;
  std::string lastOpenError_;
  bool waiting_ = false;
  int waitedMs_ = 0;
};

}  // namespace kivra::link
