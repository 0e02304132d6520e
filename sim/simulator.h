#pragma once

// The simulated driver on a pseudo-terminal, answering on its own thread with the
// timing of a 9600 baud line: by default a frame reaches the driver byte by byte, and its
// answer leaves one byte per byte time after a short turnaround, optionally through a
// USB adapter that hands bytes over in packets (sim/line.h). Embeddable: a test or the
// desktop application creates one, opens PortPath() as its serial device, and steers the
// simulated world through the setters, all of which may be called from any thread.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/driver.h"

namespace kivra::sim {

class PseudoTerminal;
class PortLink;

class Simulator {
 public:
  struct Options {
    Driver::Options driver;
    LineOptions line;
    // When not empty, a symbolic link to the port is kept at this path.
    std::string linkPath;
    // Called on the simulator's thread for every event; must not call back into the
    // simulator's Unplug, Replug or Stop.
    std::function<void(const Event&)> observer;

    // A byte that starts no frame (55h) reaches the tool this often, between and inside
    // the answers, as from a noisy cable or a device at another baud rate; zero: never.
    std::chrono::nanoseconds noiseEvery{0};

    // A kinder line than any real one, for what needs replies in one piece: a frame is
    // taken the moment it is written, no turnaround, each answer handed over whole.
    static Options WholeReplies();
    // A device without a 9600 baud line behind it (a driver on USB): every frame is taken
    // the moment it is written and answered whole within 0.2 ms.
    static Options Fast();
  };

  // Creates the port and starts answering. Throws std::system_error when no
  // pseudo-terminal can be had or the link cannot be made.
  explicit Simulator(Options options);
  Simulator() : Simulator(Options{}) {}
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // The device the tool opens; empty while unplugged. A new one after each Replug.
  std::string PortPath() const;
  // The symbolic link's path when one was asked for.
  const std::string& LinkPath() const { return options_.linkPath; }

  void SetInputs(std::uint8_t bits);
  void SetInput(int input, bool on);  // input 1 to 6
  void SetAnalog(int channel, std::uint8_t value);
  void SetTemperature(std::uint8_t celsius);
  void SetModeFlags(std::uint8_t flags);
  void SetOutput(int output, bool on);
  void SetMemoryCell(std::uint16_t address, std::uint8_t value);
  std::uint8_t MemoryCell(std::uint16_t address);

  void AddFault(const FaultRule& rule);
  void ClearFaults();
  void SetLateDelay(std::chrono::nanoseconds delay);
  // Zero stops the noise.
  void SetNoise(std::chrono::nanoseconds every);
  void SilenceFor(std::chrono::nanoseconds duration);

  DriverState State();
  StoredProgram Program();
  std::vector<ReceivedFrame> ReceivedFrames();

  // Waits until `condition` holds for the state (checked whenever a frame has been taken
  // or a setter called, and at least every 10 ms), at most `timeout`. Returns whether it
  // held. The condition runs under the simulator's lock: it must not call the simulator.
  bool WaitUntil(const std::function<bool(const DriverState&)>& condition,
                 std::chrono::milliseconds timeout);

  // Closes the port as a pulled USB adapter would: the tool's side hangs up and the
  // device disappears (so does the link). The driver keeps its state and program.
  void Unplug();
  // A new port for the same driver (a new device path; the link follows it). With
  // `sameDevice`, the port gets its old device path back when no one holds it any more,
  // as an adapter plugged into the same socket does.
  void Replug(bool sameDevice = false);
  bool Plugged() const;

  // Stops answering and closes the port; the destructor does it too.
  void Stop();

 private:
  struct Port;
  void StartPort(const std::string& preferredPath = {});
  void StopPort();
  void Run(Port& port);
  void Report(std::vector<Event>& events);

  Options options_;
  mutable std::mutex mutex_;  // guards driver_ and portPath_
  std::condition_variable changed_;
  Driver driver_;
  std::string portPath_;
  std::string lastPortPath_;  // the device of the last port, for a replug on the same one

  std::atomic<std::int64_t> noiseEvery_;  // nanoseconds, 0: no noise

  std::mutex lifecycle_;  // serialises Unplug, Replug, Stop and waking the port
  std::unique_ptr<Port> port_;
  std::thread thread_;
};

}  // namespace kivra::sim
