#pragma once

// Scripted stand-ins for the engine's surroundings: a port whose received bytes the test
// feeds and whose sent bytes it reads back, a window that records what it is told, and a
// timer that records the intervals asked for.

#include <deque>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "link/engine.h"
#include "link/frames.h"
#include "link/port.h"
#include "link/view.h"

namespace kivra::link::testing {

class FakePort : public Port {
 public:
  void PutChar(std::uint8_t b) override {
    if (failPut) throw std::runtime_error(failPut);
    sent.push_back(b);
  }
  void PutBlock(std::span<const std::uint8_t> bytes) override {
    if (failPut) throw std::runtime_error(failPut);
    if (refuseBlocks > 0) {
      --refuseBlocks;
      throw std::runtime_error("Output buffer too small for block");
    }
    sent.insert(sent.end(), bytes.begin(), bytes.end());
  }
  std::size_t GetInBufferUsed() override { return incoming.size(); }
  void GetBlock(std::uint8_t* buffer, std::size_t n) override {
    if (n > incoming.size()) throw std::runtime_error("Buffer is empty");
    for (std::size_t i = 0; i < n; ++i) {
      buffer[i] = incoming.front();
      incoming.pop_front();
    }
  }
  void FlushInBuffer() override {
    ++flushes;
    incoming.clear();
  }

  void Receive(const std::vector<std::uint8_t>& bytes) { incoming.insert(incoming.end(), bytes.begin(), bytes.end()); }

  // The frames sent since the last call, split by their length bytes.
  std::vector<Frame> TakeFrames() {
    std::vector<Frame> frames;
    std::size_t i = 0;
    while (i < sent.size()) {
      const std::size_t len = std::max<std::size_t>(sent[i], 1);
      frames.emplace_back(sent.begin() + i, sent.begin() + std::min(sent.size(), i + len));
      i += len;
    }
    sent.clear();
    return frames;
  }

  std::vector<std::uint8_t> sent;
  std::deque<std::uint8_t> incoming;
  int flushes = 0;
  const char* failPut = nullptr;
  int refuseBlocks = 0;  // the next n frames are refused
};

class FakeWindow : public LinkView, public AppHooks {
 public:
  // LinkView
  void SetColour(std::string_view control, Colour colour) override { colours[std::string(control)] = colour; }
  void ShowLinkStatus(LinkStatus s) override { statuses.push_back(s); }
  void SetText(std::string_view control, std::string_view text) override { texts[std::string(control)] = text; }
  void ShowMessage(MessageKind kind, std::string_view text) override { messages.push_back({kind, std::string(text)}); }
  void ShowProgress(std::string_view caption, std::uint32_t maximum) override {
    progressVisible = true;
    progressCaption = caption;
    progressMax = maximum;
  }
  void SetProgressPosition(std::uint32_t p) override {
    progressPosition = p;
    positions.push_back(p);
  }
  void HideProgress() override { progressVisible = false; }
  void SelectEditorLine(std::uint32_t line) override { selectedLines.push_back(line); }
  void SetEditorReadOnly(bool ro) override { readOnly = ro; }
  void FocusEditor() override { ++focus; }

  // AppHooks
  std::string BoxText(std::string_view box) override { return texts[std::string(box)]; }
  bool SourceEdited() override { return sourceEdited; }
  void ClearSourceEdited() override {
    sourceEdited = false;
    calls.push_back("clear");
  }
  bool CheckProgram() override {
    calls.push_back("check");
    return checkOk;
  }
  bool SaveProgram() override {
    calls.push_back("save");
    return saveOk;
  }
  void ReloadProgram() override { calls.push_back("reload"); }
  std::uint32_t LineAtAddress(std::uint16_t address) override {
    auto it = addressLines.find(address);
    return it == addressLines.end() ? 0 : it->second;
  }

  Colour colour(std::string_view c) const {
    auto it = colours.find(std::string(c));
    return it == colours.end() ? Colour::Window : it->second;
  }
  std::string text(std::string_view c) const {
    auto it = texts.find(std::string(c));
    return it == texts.end() ? std::string() : it->second;
  }

  struct Message {
    MessageKind kind;
    std::string text;
  };
  std::map<std::string, Colour> colours;
  std::vector<LinkStatus> statuses;
  std::map<std::string, std::string> texts;
  std::vector<Message> messages;
  bool progressVisible = false;
  std::string progressCaption;
  std::uint32_t progressMax = 0;
  std::uint32_t progressPosition = 0;
  std::vector<std::uint32_t> positions;
  std::vector<std::uint32_t> selectedLines;
  bool readOnly = false;
  int focus = 0;
  bool sourceEdited = false;
  bool checkOk = true;
  bool saveOk = true;
  std::vector<std::string> calls;
  std::map<std::uint16_t, std::uint32_t> addressLines;
};

class FakeTimer : public IntervalTimer {
 public:
  void SetInterval(int ms) override { changes.push_back(ms); }
  std::vector<int> changes;
};

// Replies as the driver sends them.
inline Frame Reply(char letter, const std::vector<std::uint8_t>& payload) {
  Frame f;
  f.reserve(payload.size() + 3);
  f.push_back(static_cast<std::uint8_t>(payload.size() + 3));
  f.push_back(static_cast<std::uint8_t>(letter));
  for (auto b : payload) f.push_back(b);
  f.push_back(Xor(f));
  return f;
}

// A 16-byte status reply.
inline Frame StatusFrame(std::uint8_t io = 0, std::uint8_t mode = 0, std::uint16_t address = 0,
                         std::uint8_t analog1 = 0, std::uint8_t analog2 = 0, std::uint8_t temperature = 25) {
  return Reply('s', {io, analog1, analog2, mode, temperature, 12, 0, static_cast<std::uint8_t>(address >> 8),
                     static_cast<std::uint8_t>(address), 0, 0, 0, 0});
}

struct Rig {
  FakePort port;
  FakeWindow window;
  FakeTimer timer;
  LinkEngine engine{port, window, window, timer};

  Rig() { engine.SetLinkEnabled(true); }
  void Tick(int n = 1) {
    for (int i = 0; i < n; ++i) engine.Tick();
  }
  const LinkVariables& v() const { return engine.Variables(); }
  // Polls once with the driver answering: request, reply read, result taken.
  void PollOnce(const Frame& status = StatusFrame()) {
    Tick();  // sends 's'
    port.Receive(status);
    Tick();  // reads it
    Tick();  // back to idle
    port.TakeFrames();
  }
};

}  // namespace kivra::link::testing
