#pragma once

// The texts that both the window and the command line show, in both languages, UTF-8: the
// link's messages, the download's caption, why a port or a file was not opened. Each is
// picked at the moment it is shown, so a language switch takes effect with the next
// message. Each layer that shows texts of its own keeps them in a catalogue like this one,
// in this namespace: link/texts.h, params/texts.h, cli/texts.h and the window's.

#include <initializer_list>
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

// The text with %1, %2, ... replaced by the arguments, for texts whose words come in another
// order in each language ("writing %1" / "%1 yazılıyor").
std::string Fill(const Bilingual& text, Language language,
                 std::initializer_list<std::string_view> arguments);

// The link's messages, as the window's boxes and the command line give them.
inline constexpr Bilingual kNoValidProgram{"Geçerli program yok!", "No valid program!"};
inline constexpr Bilingual kDownloadError{"Program Yazılamadı!", "Download error!"};
inline constexpr Bilingual kDownloadCaption{"Program Gönderme", "Program Download"};
inline constexpr Bilingual kNumberExpected{"Sayı giriniz!", "Number expected!"};
inline constexpr Bilingual kEnterNumber{"Numara Giriniz!", "Enter number!"};
inline constexpr Bilingual kDownloadNoPort{"Bağlantı yok: port açık değil!",
                                           "No connection: the port is not open!"};
inline constexpr Bilingual kDownloadWaitsForPort{
    "Bağlantı yok: portun geri gelmesi bekleniyor!",
    "No connection: waiting for the port to come back!"};
inline constexpr Bilingual kSimulatedDriverHint{
    "Sürücü yoksa: Ayarlar > Com Port ... simülasyon sürücüsünü (SIM) sunar.",
    "Without a driver: Settings > Com Port ... offers the simulated driver (SIM)."};
// The direction of rotation.
inline constexpr Bilingual kLeft{"SOL", "L"};
inline constexpr Bilingual kRight{"SAĞ", "R"};

// "Comm Port " + port + " not opened!" / " Açılamadı!"
std::string PortNotOpened(std::string_view port, Language language);
// The same, with a second line that says why: `detail` (the serial component's own text)
// where the reason has no words of ours.
std::string PortNotOpened(std::string_view port, OpenFailure reason, std::string_view detail,
                          Language language);

// The connection displays' words for the state of the link.
std::string_view LinkStatusText(LinkStatus status, Language language);

// Why a file the user named was not read, after its path: "set.txt: this is a folder, not
// a file", "big.kv3: too large: a program file holds at most 1 MB".
std::string FileNotRead(std::string_view path, const FileReadError& error, Language language);

}  // namespace kivra::texts
