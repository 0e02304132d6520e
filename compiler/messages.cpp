#include "compiler/messages.h"

namespace kivra::compiler {
namespace {

void AppendBanner(std::string& text, const Timestamp& stamp, Language language) {
  text += IsEnglish(language) ? "**** NUVEX ELEKTRONIK LTD. Kivra-PS  Compiler:"
                              : "**** NUVEX ELEKTRONIK LTD. Kivra-PS  Derleyici:";
  text += kVersionText;
  text += " **** \n**** ";
  text += stamp.date;
  text += "   ";
  text += stamp.time;
  text += " **** \n\n";
}

// The entry's first line without its line break.
std::string Header(const Diagnostic& d, Language language) {
  const bool english = IsEnglish(language);
  const bool error = d.severity == Severity::Error;
  if (d.line == 0) {
    // Only the empty-program warning names no line, and it is one line long.
    return (english ? "* Warning : " : "* Uyarı : ") + RenderDetail(d, language);
  }
  const std::string n = std::to_string(english ? d.listed.english : d.listed.turkish);
  if (english) return (error ? "* Error : Line " : "* Warning: Line ") + n + ".";
  if (!error) return "* Uyarı: " + n + " .satır:";
  return "* Hata : " + n + (d.form == HeaderForm::A ? ".satır:" : " .satır:");
}

}  // namespace

void MessageLog::Error(std::uint32_t line, ListedLines listed, const Detail& detail,
                       HeaderForm form) {
  ++errors_;
  out_.push_back({Severity::Error, line, listed, detail, form, {}});
}

void MessageLog::Warning(std::uint32_t line, const Detail& detail, std::string argument) {
  ++warnings_;
  out_.push_back(
      {Severity::Warning, line, {line, line}, detail, HeaderForm::A, std::move(argument)});
}

void MessageLog::EmptyProgram() {
  ++warnings_;
  out_.push_back({Severity::Warning, 0, {}, msg::kNoValidCommand, HeaderForm::A, {}});
}

std::string RenderDetail(const Diagnostic& d, Language language) {
  std::string text(IsEnglish(language) ? d.detail.english : d.detail.turkish);
  if (const auto at = text.find("{}"); at != std::string::npos) text.replace(at, 2, d.argument);
  return text;
}

std::string RenderEntry(const Diagnostic& d, Language language) {
  std::string text = Header(d, language) + '\n';
  if (d.line != 0) text += "  ---> " + RenderDetail(d, language) + '\n';
  return text;
}

std::string TotalsLine(int errors, int warnings, Language language) {
  const bool english = IsEnglish(language);
  std::string line = english ? "Total error : " : "Toplam Hata : ";
  line += std::to_string(errors);
  line += english ? ",  Total warning : " : ",   Toplam Uyarı : ";
  line += std::to_string(warnings);
  return line;
}

RenderedMessages RenderMessages(const std::vector<Diagnostic>& diagnostics, const Timestamp& stamp,
                                Language language) {
  RenderedMessages out;
  AppendBanner(out.text, stamp, language);
  out.rowLines.assign(3, 0);
  int errors = 0;
  int warnings = 0;
  for (const Diagnostic& d : diagnostics) {
    ++(d.severity == Severity::Error ? errors : warnings);
    out.text += RenderEntry(d, language);
    if (d.line == 0) {
      out.rowLines.push_back(0);
      continue;
    }
    out.rowLines.push_back(IsEnglish(language) ? d.listed.english : d.listed.turkish);
    out.rowLines.push_back(0);
  }
  out.text += "\n------------------------------------------\n";
  out.text += TotalsLine(errors, warnings, language);
  out.text += '\n';
  out.rowLines.insert(out.rowLines.end(), {0, 0, 0});
  return out;
}

}  // namespace kivra::compiler
