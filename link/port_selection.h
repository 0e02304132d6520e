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

// The port given for one run (a command line's --port), never a stored one: every read
// answers it and nothing is written back.
struct GivenPort final : SettingsStore {
  std::string port;
  std::string ReadSetting(std::string_view, std::string_view) override { return port; }
  void WriteSetting(std::string_view, std::string_view) override {}
};

// What the port selection shows: the port number displays and the warnings of a port
// that does not open. Whoever asks the user for a port (a dialog, a command line option)
// hands the answer to PortSelection::Choose and learns from its result what to do next.
class PortView {
 public:
  virtual ~PortView() = default;
  // The port number displays: the port as PortName::ToString() gives it, empty for none.
  virtual void ShowPortNumber(std::string_view text) = 0;
  // A port that did not open: `port` as shown, why, and the serial component's own words.
  // `startUp` for the remembered port at start-up.
  virtual void PortNotOpened(std::string_view port, OpenFailure reason, std::string_view detail,
                             bool startUp) = 0;
  // The text the user chose names no port.
  virtual void PortNotANumber() = 0;
};

inline constexpr std::string_view kComPortSetting = "COMPORT";

class PortSelection {
 public:
  // How often a lost device is looked for, in the link timer's time.
  static constexpr int kLookForDeviceMs = 500;

  PortSelection(LinkEngine& engine, PortOpener& opener, SettingsStore& settings, PortView& view);

  // The remembered port opened (the main window's show step; a command's start).
  void StartUp();
  // The port the user chose, as typed: opened and remembered. False when the text names no
  // port (the link stops) or the port does not open; the view has been told why.
  bool Choose(std::string_view text);

  // Before every tick of the engine: notices a device that went away under the open port,
  // and while it is gone, looks for it at its path every kLookForDeviceMs and opens it
  // again with the same settings when it is back. Choosing a port ends the wait.
  void Tick();
  bool WaitingForDevice() const { return waiting_; }

  const PortName& Current() const { return current_; }

 private:
  // Selects and opens current_; on failure the link is off and the user told.
  bool OpenCurrent(bool startUp);
  void LinkOff();

  LinkEngine& engine_;
  PortOpener& opener_;
  SettingsStore& settings_;
  PortView& view_;
  PortName current_;
  bool waiting_ = false;
  int waitedMs_ = 0;
};

}  // namespace kivra::link
