#pragma once

// What the parameter transfers and the production runs need of one driver on one port.
// Every call blocks until its exchange has ended, so a caller reads as the sequence of
// steps it is; one session belongs to one thread at a time. The link behind it (its
// frames, retries and time-outs) is the window's own.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/code_image.h"
#include "link/frames.h"
#include "link/values.h"

namespace kivra::params {

// How an exchange or a wait ended.
enum class Outcome {
  Done,
  NoAnswer,     // the driver did not answer, or not as asked, within the link's attempts
  Refused,      // the value was refused before anything was sent
  PortLost,     // the port's device went away (adapter pulled, line hung up)
  Interrupted,  // the user asked to stop
};

// When the user asks to stop (Ctrl+C), and how firmly: the first request lets the
// exchange in progress end, the second ends it at once.
class StopRequest {
 public:
  virtual ~StopRequest() = default;
  // How many times stopping was asked for so far.
  virtual int Count() const = 0;
  // Waits up to `duration` or until Count() exceeds `seen`; false when it does.
  virtual bool Wait(std::chrono::steady_clock::duration duration, int seen) const = 0;
};

class DriverSession {
 public:
  virtual ~DriverSession() = default;

  // The port as the user named it.
  virtual const std::string& Port() const = 0;

  // Waits for the driver's status reply, at most `limit`; the firmware version comes with
  // it. Waiting ends at the first stop request (Interrupted).
  virtual Outcome WaitForAnswer(std::chrono::milliseconds limit) = 0;
  // Waits until the driver stops answering or its port goes away (Done), at most `limit`
  // (NoAnswer: it is still there). Ends at the first stop request.
  virtual Outcome WaitUntilGone(std::chrono::milliseconds limit) = 0;
  // From the last status reply.
  virtual std::optional<std::uint8_t> Firmware() const = 0;

  // Exchanges end early only at the second stop request.
  virtual Outcome Download(const CodeImage& code, const VectorTable& vectors,
                           std::string_view programPath) = 0;
  virtual Outcome WriteSetting(link::Setting setting, std::int32_t value) = 0;
  virtual Outcome WriteParameter(int prm, std::int32_t value) = 0;
  virtual Outcome ReadSettings(link::MotorSettings& settings) = 0;
  virtual Outcome ReadParameters(link::ParameterBlock& parameters) = 0;
  virtual Outcome ReadServiceValues(link::ServiceValues& values) = 0;
  virtual Outcome ReadProgramName(std::string& name) = 0;  // UTF-8
};

}  // namespace kivra::params
