#pragma once

// A stand-in for the serial port: every port opens unless it is listed as missing, the
// bytes sent are kept, and replies come only when a test puts them in.

#include <deque>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "link/port_selection.h"

namespace kivra::app::testing {

class FakeDriverPort final : public link::LinePort {
 public:
  void PutChar(std::uint8_t byte) override { sent.push_back(byte); }
  void PutBlock(std::span<const std::uint8_t> bytes) override {
    sent.insert(sent.end(), bytes.begin(), bytes.end());
  }
  std::size_t GetInBufferUsed() override { return incoming.size(); }
  void GetBlock(std::uint8_t* buffer, std::size_t n) override {
    for (std::size_t i = 0; i < n; ++i) {
      buffer[i] = incoming.front();
      incoming.pop_front();
    }
  }
  void FlushInBuffer() override { incoming.clear(); }

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
    incoming.insert(incoming.end(), bytes.begin(), bytes.end());
  }

  PortName port;
  bool isOpen = false;
  bool lost = false;
  int opens = 0;
  std::set<std::string> missing;
  std::vector<std::uint8_t> sent;
  std::deque<std::uint8_t> incoming;
  Prompt prompt;
};

}  // namespace kivra::app::testing
