#include "compiler/messages.h"

namespace kivra::compiler {

void MessageLog::Banner(const Timestamp& now) {
  text_ += English() ? "**** NUVEX ELEKTRONIK LTD. Kivra-PS  Compiler:"
                     : "**** NUVEX ELEKTRONIK LTD. Kivra-PS  Derleyici:";
  text_ += kVersionText;
  text_ += " **** \n**** ";
  text_ += now.date;
  text_ += "   ";
  text_ += now.time;
  text_ += " **** \n\n";
}

void MessageLog::Second(std::string_view detail) {
  text_ += "  ---> ";
  text_ += detail;
  text_ += '\n';
}

void MessageLog::Error(std::uint32_t line, const Detail& detail, HeaderForm form) {
  ++errors_;
  const std::string n = std::to_string(line);
  if (English()) {
    text_ += "* Error : Line ";
    text_ += n;
    text_ += ".\n";
    Second(detail.english);
  } else {
    text_ += "* Hata : ";
    text_ += n;
    text_ += form == HeaderForm::A ? ".satır:\n" : " .satır:\n";
    Second(detail.turkish);
  }
}

void MessageLog::Warning(std::uint32_t line, std::string_view english, std::string_view turkish) {
  ++warnings_;
  const std::string n = std::to_string(line);
  if (English()) {
    text_ += "* Warning: Line ";
    text_ += n;
    text_ += ".\n";
    Second(english);
  } else {
    text_ += "* Uyarı: ";
    text_ += n;
    text_ += " .satır:\n";
    Second(turkish);
  }
}

void MessageLog::EmptyProgram() {
  ++warnings_;
  text_ += English() ? "* Warning : No valid command!\n"
                     : "* Uyarı : Geçerli program komutu bulunamadı!\n";
}

std::string MessageLog::Totals() {
  std::string line = English() ? "Total error : " : "Toplam Hata : ";
  line += std::to_string(errors_);
  line += English() ? ",  Total warning : " : ",   Toplam Uyarı : ";
  line += std::to_string(warnings_);
  text_ += "\n------------------------------------------\n";
  text_ += line;
  text_ += '\n';
  return line;
}

}  // namespace kivra::compiler
