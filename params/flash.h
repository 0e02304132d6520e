#pragma once

// Production runs: program one driver after another, or several at once, from one
// checked program and one parameter set, with a result per driver.

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/language.h"
#include "params/driver_session.h"
#include "params/param_set.h"
#include "params/transfer.h"

namespace kivra::params {

// What every driver receives. The program was checked once, before any port.
struct FlashJob {
  CodeImage code{};
  VectorTable vectors{};
  std::string programPath;
  std::optional<ParameterSet> parameters;
  // How long a driver has to answer before it counts as absent.
  std::chrono::milliseconds answerTime = kAnswerTime;
};

// The steps of one driver, in order.
enum class FlashStep { Open, Connect, Download, Parameters, Verify, ProgramName, Done };

struct FlashResult {
  std::string port;
  std::string slot;  // the USB socket the port's adapter is in (SlotOf), empty when unknown
  bool passed = false;
  FlashStep step = FlashStep::Open;  // where it stopped; Done when it passed
  Outcome outcome = Outcome::Done;
  std::optional<Step> exchange;         // the exchange it stopped at, when it was one
  std::string openError;                // Open: why the port did not open
  std::vector<Difference> differences;  // Verify: the values that did not take
  std::string programName;              // ProgramName: what the driver holds
  std::string expectedName;             // ... and what it should hold
  std::optional<std::uint8_t> firmware;
  std::chrono::system_clock::time_point started{};
  std::chrono::steady_clock::duration duration{};
  int number = 0;  // in a station: the count of drivers on this port, from 1
};

// Where Linux names each USB serial adapter by the socket it is plugged into.
inline constexpr const char* kSlotLinks = "/dev/serial/by-path";

// A station's slot is a USB socket: the same socket whatever adapter or driver is in it,
// unlike /dev/serial/by-id/ (which follows the adapter) or /dev/ttyUSB<n> (which follows the
// order of plugging). The slot of `port` is the name of its link in a by-path folder: the
// port's own name when it is given as such a link (".../by-path/NAME"), otherwise the link
// in `links` that leads to the same device. Empty when there is none (a built-in port, a
// pseudo-terminal, Windows).
std::string SlotOf(std::string_view port, const std::filesystem::path& links = kSlotLinks);

// The name the driver stores for a program path, as its name reply gives it back.
std::string StoredProgramName(std::string_view programPath);

// Connects, downloads, writes and verifies the parameters, reads the program name back.
// A stop request does not end it before the driver is done, unless it is the second.
FlashResult FlashDriver(DriverSession& session, const FlashJob& job,
                        const StopRequest* stop = nullptr);

// One line's reason: "download: the driver does not answer", "verify: prm12 is 7, not 5".
std::string Reason(const FlashResult& result, Language language);

// Opens a port's session; nothing, with the reason in `whyNot`, when the port does not open.
using SessionFactory =
    std::function<std::unique_ptr<DriverSession>(const std::string& port, std::string& whyNot)>;

// Flashes every port at the same time, each on a thread of its own with a link of its
// own. `onResult` is called as each driver ends, one call at a time. Results in port order.
std::vector<FlashResult> FlashPorts(std::span<const std::string> ports, const SessionFactory& open,
                                    const FlashJob& job, const StopRequest& stop,
                                    const std::function<void(const FlashResult&)>& onResult);

// The station: on each port, wait for a driver, program it, wait until it is taken away
// or stops answering, and again, until stopped. A stop request while waiting ends the
// port's loop at once; one while a driver is programmed ends it after that driver.
struct StationEvents {
  std::function<void(const std::string& port)> waiting;  // for the next driver
  std::function<void(const FlashResult&)> result;
  std::function<void(const std::string& port)> remove;  // the driver may be taken away
};
struct StationCounts {
  int passed = 0;
  int failed = 0;
};
StationCounts RunStation(DriverSession& session, const FlashJob& job, const StopRequest& stop,
                         const StationEvents& events);
// Every port's station at the same time; the events come one at a time. Ports that do not
// open are reported through `events.result` and counted as failed.
StationCounts RunStations(std::span<const std::string> ports, const SessionFactory& open,
                          const FlashJob& job, const StopRequest& stop,
                          const StationEvents& events);

}  // namespace kivra::params
