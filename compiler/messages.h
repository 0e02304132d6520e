#pragma once

// The message list as the check writes it: a banner, one two-line entry per error or
// warning, and the totals. The log collects the findings as data during a run; the
// renderer below makes every text, in English or Turkish, from that data.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/version.h"
#include "compiler/compile.h"

namespace kivra::compiler {

using kivra::kVersionText;

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
// The argument is the input's number.
inline constexpr Detail kInputAlreadyUsed{"Input-{} already used!", "Input-{} önceden kullanıldı!"};
// The one entry without a line number: the editor holds no command at all.
inline constexpr Detail kNoValidCommand{"No valid command!", "Geçerli program komutu bulunamadı!"};
}  // namespace msg

// Collects a run's findings.
class MessageLog {
 public:
  explicit MessageLog(std::vector<Diagnostic>& out) : out_(out) {}

  int Errors() const { return errors_; }
  int Warnings() const { return warnings_; }

  void Error(std::uint32_t line, const Detail& detail, HeaderForm form) {
    Error(line, {line, line}, detail, form);
  }
  // An entry that names another number than the line it concerns.
  void Error(std::uint32_t line, ListedLines listed, const Detail& detail, HeaderForm form);
  void Warning(std::uint32_t line, const Detail& detail, std::string argument = {});
  void EmptyProgram();

 private:
  std::vector<Diagnostic>& out_;
  int errors_ = 0;
  int warnings_ = 0;
};

// The message list's text, and for each of its rows (the text's lines) the editor line a
// click on that row selects: the number an error or warning header names, 0 on every
// other row.
struct RenderedMessages {
  std::string text;
  std::vector<std::uint32_t> rowLines;
};
RenderedMessages RenderMessages(const std::vector<Diagnostic>& diagnostics, const Timestamp& stamp,
                                Language language);

// One entry as the message list shows it, each of its lines ending in "\n".
std::string RenderEntry(const Diagnostic& diagnostic, Language language);

// The message text alone, without header and arrow.
std::string RenderDetail(const Diagnostic& diagnostic, Language language);

// "Total error : 1,  Total warning : 0" / "Toplam Hata : 1,   Toplam Uyarı : 0".
std::string TotalsLine(int errors, int warnings, Language language);

}  // namespace kivra::compiler
