#pragma once

// A stand-in for the serial port: every port opens unless it is listed as missing, the
// bytes sent are kept, and replies come only when a test puts them in.

#include <deque>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/mono_time.h"
#include "link/port_selection.h"

namespace kivra::app::testing {

class FakeDriverPort final : public link::LinePort {
 public:
  // A frame leaves as it is queued; what the test puts in arrives at that moment, so a
  // reply given after a frame answers it.
  std::uint64_t Send(std::span<const std::uint8_t> bytes) override {
    sent.insert(sent.end(), bytes.begin(), bytes.end());
    leftAt.push_back(kivra::MonoNow());
    return leftAt.size();
  }
  std::optional<MonoTime> LeftAt(std::uint64_t ticket) override {
    if (ticket == 0 || ticket > leftAt.size()) return std::nullopt;
    return leftAt[ticket - 1];
  }
  void Receive(std::vector<std::uint8_t>& bytes, std::vector<MonoTime>& times,
               std::size_t max) override {
    for (; max > 0 && !incoming.empty(); --max) {
      bytes.push_back(incoming.front().first);
      times.push_back(incoming.front().second);
      incoming.pop_front();
    }
  }
  void FlushInBuffer() override { incoming.clear(); }
  MonoTime Now() override { return kivra::MonoNow(); }

  void SetPort(const PortName& name) override { port = name; }
  void SetOpen(bool open) override {
    if (open && missing.count(port.ToString())) {
      throw link::PortOpenError(link::OpenFailure::Missing, "Specified port doesn't exist");
    }
    if (open && port.IsNumber() && port.number() == 0) {
      if (!prompt) throw std::runtime_error("The port number has not been set");
      const auto chosen = prompt();
      if (!chosen) throw std::runtime_error("The port number has not been set");
    }
    if (open) ++opens;
    isOpen = open;
    if (open) lost = false;
  }
  bool DeviceLost() override { return isOpen && lost; }
  bool DevicePresent(const PortName& name) override { return !missing.count(name.ToString()); }
  void SetPortPrompt(Prompt p) override { prompt = std::move(p); }
  void Close() noexcept override { isOpen = false; }

  void Receive(const std::vector<std::uint8_t>& bytes) {
    const MonoTime now = kivra::MonoNow();
    for (auto b : bytes) incoming.emplace_back(b, now);
  }

  PortName port;
  bool isOpen = false;
  bool lost = false;
  int opens = 0;
  std::set<std::string> missing;
  std::vector<std::uint8_t> sent;
  std::vector<MonoTime> leftAt;
  std::deque<std::pair<std::uint8_t, MonoTime>> incoming;
  Prompt prompt;
};

}  // namespace kivra::app::testing
