#pragma once

// Opening the serial port at start-up with the remembered port, the port dialog that
// chooses another, and finding the port again when its device went away and came back.
// A port is a number n (on Linux /dev/ttyS<n-1>, the usual PC numbering) or a device path
// such as /dev/ttyUSB0, accepted wherever a number is.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/port_name.h"
#include "link/engine.h"
#include "link/port.h"

namespace kivra::link {

// The port dialog's and the stored setting's rule: a number (taken modulo 256, as the port
// number is a byte) or a path starting with '/'. Shown and stored as PortName::ToString().
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

// A serial line as its owner holds it: the link's port and port opener, the prompt for
// port number 0, and closing at the end of the run. Tests put a scripted line in its place.
class LinePort : public Port, public PortOpener {
 public:
  // Asked when port number 0 is opened: the port the user picked, or nothing.
  using Prompt = std::function<std::optional<PortName>()>;
  virtual void SetPortPrompt(Prompt prompt) = 0;
  virtual void Close() noexcept = 0;
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
  // The port number displays: the port as PortName::ToString() gives it, empty for none.
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
