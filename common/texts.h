#pragma once

// The texts that both the window and the command line show, in both languages, UTF-8: the
// link's messages and the download's caption. Each is picked at the moment it is shown, so
// a language switch takes effect with the next message. Texts of the window alone are in
// app/texts.h and app/fixed_texts.cpp.

#include <string>
#include <string_view>

#include "common/file_read.h"
#include "common/language.h"
#include "common/link_status.h"

namespace kivra::texts {

// A text in both languages, UTF-8. Every layer that shows texts keeps them as named
// Bilingual entries in its catalogue and picks one with Pick when the text is shown.
struct Bilingual {
  std::string_view turkish;
  std::string_view english;
};

constexpr std::string_view Pick(const Bilingual& text, Language language) {
  return language == Language::English ? text.english : text.turkish;
}

enum class Text {
  NoValidProgram,
  DownloadError,
  DownloadCaption,
  NumberExpected,
  EnterNumber,
  Left,  // the direction of rotation
  Right,
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

// Why a file the user named was not read, after its path: "set.txt: this is a folder, not
// a file", "big.kv3: too large: a program file holds at most 1 MB".
std::string FileNotRead(std::string_view path, const FileReadError& error, Language language);

}  // namespace kivra::texts
