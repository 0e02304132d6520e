#pragma once

// The message list as the check writes it: a banner, one two-line entry per error or
// warning, and the totals. Every text exists in English and Turkish; the language is
// fixed for a run.

#include <cstdint>
#include <string>
#include <string_view>

#include "compiler/compile.h"

namespace kivra::compiler {

// The second line of an entry without its "  ---> " and line break. Some English texts
// end with a blank; it belongs to the text.
struct Detail {
  std::string_view english;
  std::string_view turkish;
};

// Turkish error entries come with two first lines: "N.satır:" (A) and "N .satır:" (B).
// Each message has its own; the message list's click handler accepts both.
enum class HeaderForm { A, B };

inline constexpr std::string_view kVersionText = "Ver 1.11   01/2012";

// Messages more than one family of keywords reports.
namespace msg {
inline constexpr Detail kNumberExpected{"Number expected!", "Sayısal deger bekleniyor!"};
inline constexpr Detail kMissingEquals{"Missing (=) ", "(=) bekleniyor!"};
inline constexpr Detail kMissingEqualsBang{"Missing (=) !", "(=) bekleniyor!"};
inline constexpr Detail kMissingComma{"Missing (,) !", "(,) bekleniyor!"};
inline constexpr Detail kLabelSyntaxError{"Label syntax error!", "Hatalı etiket!"};
inline constexpr Detail kMissingLabel{"Missing label!", "Etiket bulunamadı!"};
inline constexpr Detail kInputNumberRange{"Input number range:1-6", "Giriş no :1-6 olabilir!"};
inline constexpr Detail kInputValueRange{"Input value range:0-1", "Giriş seviyesi :0-1 olabilir!"};
inline constexpr Detail kVariableNrRange{"Variable nr range:1-25 ", "Değişken no :1-25 olabilir!"};
}  // namespace msg

class MessageLog {
 public:
  // Appends to `text`, which the log does not own.
  MessageLog(Language language, std::string& text) : language_(language), text_(text) {}

  bool English() const { return language_ == Language::English; }
  int Errors() const { return errors_; }
  int Warnings() const { return warnings_; }

  void Banner(const Timestamp& now);
  void Error(std::uint32_t line, const Detail& detail, HeaderForm form);
  void Warning(std::uint32_t line, std::string_view english, std::string_view turkish);
  void Warning(std::uint32_t line, const Detail& detail) {
    Warning(line, detail.english, detail.turkish);
  }
  // The one entry without a line number: the editor holds no command at all.
  void EmptyProgram();
  // The dashes and the totals line; returns the totals line without its line break.
  std::string Totals();

 private:
  void Second(std::string_view detail);

  Language language_;
  std::string& text_;
  int errors_ = 0;
  int warnings_ = 0;
};

}  // namespace kivra::compiler
