#pragma once

// The link's user-visible texts in both languages, UTF-8. Each is picked at the moment it
// is shown, so a language switch takes effect with the next message.

#include <string>
#include <string_view>

#include "link/port.h"
#include "link/view.h"

namespace kivra::link {

enum class Text {
  NoValidProgram,
  DownloadError,
  DownloadCaption,
  NumberExpected,
  EnterNumber,
  Left,
  Right,
  Cancel,
  ScriptSwitch,
  DebugOn,
  DebugOff,
  DownloadNoPort,
  DownloadWaitsForPort,
  SimulatedDriverHint,
};

std::string_view Tr(Text text, bool english);

// "Comm Port " + port + " not opened!" / " Açılamadı!"
std::string PortNotOpened(std::string_view port, bool english);
// The same, with a second line that says why: `detail` (the serial component's own text)
// where the reason has no words of ours.
std::string PortNotOpened(std::string_view port, OpenFailure reason, std::string_view detail,
                          bool english);

// The connection displays' words for the state of the link.
std::string_view LinkStatusText(LinkStatus status, bool english);

}  // namespace kivra::link
