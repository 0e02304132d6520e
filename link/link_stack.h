#pragma once

// The link as every owner runs it, the window, `kivra` and the parameter runs alike: the
// serial line, the engine stepped by the owner's timer, the port selection that opens the
// remembered or chosen port and finds a pulled adapter again, and the feed of frame rows
// for the watchers. The owner brings its timer, its settings and the view that hears why
// a port did not open.

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "link/engine.h"
#include "link/line_feed.h"
#include "link/port_selection.h"
#include "link/serial_link.h"

namespace kivra::link {

struct LinkStackOptions {
  serial::PortSettings settings = serial::PortSettings::DriverLink();
  // Where the serial log (SERIAL.LOG) goes when the port closes; empty: the working folder.
  std::string logFolder;
  // A line to use instead of the machine's serial ports (tests); not owned.
  LinePort* line = nullptr;
};

class LinkStack {
 public:
  LinkStack(IntervalTimer& timer, SettingsStore& settings, PortView& view,
            LinkStackOptions options = {});
  ~LinkStack() = default;  // the port of its own closes with it
  LinkStack(const LinkStack&) = delete;
  LinkStack& operator=(const LinkStack&) = delete;

  // One tick of the owner's timer: a device that went away is looked for, then the engine
  // steps.
  void Tick();

  LinkEngine& Engine() { return engine_; }
  const LinkEngine& Engine() const { return engine_; }
  PortSelection& Ports() { return ports_; }
  const PortSelection& Ports() const { return ports_; }
  LinePort& Line() { return line_; }
  // Every frame on the line as the engine judged it.
  LineFeed& Feed() { return feed_; }
  // Milliseconds since the stack was made: the clock of the frame records.
  std::int64_t ElapsedMs() { return static_cast<std::int64_t>(clock_.NowMs()); }

 private:
  struct SinceStart final : Clock {
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    std::uint64_t NowMs() override;
  };

  SinceStart clock_;
  std::unique_ptr<SerialLink> own_;
  LinePort& line_;
  LineFeed feed_{clock_};
  LinkEngine engine_;
  PortSelection ports_;
};

}  // namespace kivra::link
