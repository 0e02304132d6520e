#pragma once

// The link's user-visible texts in both languages, UTF-8. Each is picked at the moment it
// is shown, so a language switch takes effect with the next message.

#include <string>
#include <string_view>

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
};

std::string_view Tr(Text text, bool english);

// "Comm Port " + port + " not opened!" / " Açılamadı!"
std::string PortNotOpened(std::string_view port, bool english);

}  // namespace kivra::link
