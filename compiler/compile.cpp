// The compile driver: a quick check of statement ends and END; placement, the code pass
// that reads every line and hands its command to the keyword's handler, and the fixup
// pass that fills in the label addresses. The run never stops at an error, so one check
// lists every problem of a program.

#include "compiler/compile.h"

#include "compiler/code_image.h"
#include "compiler/handlers.h"
#include "compiler/labels.h"
#include "compiler/listing.h"
#include "compiler/messages.h"
#include "compiler/operands.h"

namespace kivra::compiler {
namespace {

using enum HeaderForm;

constexpr Detail kSemicolonExpected{"(;) expected!", "(;) bulunamadı!"};
constexpr Detail kTooManyEnd{"too many (END;) command!", "Birden fazla (END;) bulundu!"};
constexpr Detail kNoValidEnd{"No valid (END;) command!", "Geçerli program sonu (END;) bulunamadı!"};
constexpr Detail kUnrecognized{"Unrecognized command!", "Tanımlanamayan komut!"};
constexpr Detail kMemoryFull{"Program memory full!", "Program belleği yetersiz!"};
constexpr Detail kMissingRet{"Missing RET command!", "RET komutu bulunamadı!"};

bool IsBlankProgram(const std::vector<std::string>& lines) {
  for (const auto& line : lines) {
    if (line.find_first_not_of(" \t\r\n") != std::string::npos) return false;
  }
  return true;
}

bool IsEnd(std::string_view c) {
  return c.size() == 3 && (c[0] | 0x20) == 'e' && (c[1] | 0x20) == 'n' && (c[2] | 0x20) == 'd';
}

// Every line ends its statement with `;` (or is a label line), and exactly one END;
// line stands after the last command.
void CheckPass(const std::vector<std::string>& lines, MessageLog& log) {
  bool endSeen = false;
  bool endIsLast = false;
  std::uint32_t endLine = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto line = static_cast<std::uint32_t>(i + 1);
    const auto trimmed = Trim(lines[i]);
    const auto semicolon = trimmed.find(';');
    if (!trimmed.empty() && semicolon == npos && trimmed.find(':') == npos) {
      log.Error(line, kSemicolonExpected, A);
    }
    // A label in front makes the line an ordinary command: "LOOP: END;" is no END line.
    const auto c = semicolon == npos ? std::string_view{} : Trim(trimmed.substr(0, semicolon));
    if (IsEnd(c)) {
      if (endSeen) {
        // The Turkish entry names the first END line: the line the user must look at to
        // see which END is meant.
        log.Error(line, {line, endLine}, kTooManyEnd, A);
      } else {
        endSeen = true;
        endIsLast = true;
        endLine = line;
      }
    } else if (!c.empty() && endSeen) {
      endIsLast = false;
    }
    if (i + 1 == lines.size() && !endIsLast) log.Error(line, kNoValidEnd, A);
  }
}

// The keyword ends at the first blank, or at the `;`, and before any `=`: SPEED=1200;,
// SPEED = 1200; and SPEED =1200; all start with SPEED.
std::string_view KeywordOf(std::string_view command) {
  auto end = command.find(' ');
  if (end == npos) end = command.find(';');
  auto keyword = Trim(command.substr(0, end));
  if (const auto eq = keyword.find('='); eq != npos) keyword = keyword.substr(0, eq);
  return keyword;
}

void CodePass(const std::vector<std::string>& lines, Run& run, std::vector<LineCode>& lineCode) {
  std::string s;
  lineCode.assign(lines.size(), {});
  for (std::size_t i = 0; i < lines.size(); ++i) {
    run.line = static_cast<std::uint32_t>(i + 1);
    const std::uint32_t start = run.code.Length();
    // Nothing after the first `;` is ever looked at: it is the comment.
    const std::string_view raw = lines[i];
    const auto end = raw.find(';');
    s.assign(end == npos ? raw : raw.substr(0, end + 1));
    NormalizeLine(s);
    const auto text = Trim(s);

    // A colon before the first `;` ends a label; everything after the `;` is comment.
    const auto colon = text.find(':');
    const auto semicolon = text.find(';');
    std::string_view command;
    if (colon != npos && (semicolon == npos || colon < semicolon)) {
      run.labels.Define(Trim(text.substr(0, colon + 1)), run.code.Length(), run.line, run.log);
      if (semicolon != npos) command = Trim(text.substr(colon + 1, semicolon - colon));
    } else if (semicolon != npos) {
      command = Trim(text.substr(0, semicolon + 1));
    }

    if (const auto keyword = KeywordOf(command); !keyword.empty()) {
      if (const Handler handler = FindHandler(keyword)) {
        handler(run, command);
      } else {
        run.Error(kUnrecognized, A);
      }
    }
    lineCode[i] = {start, run.code.Length() - start};
    // Reported after every line from here on: the length never shrinks.
    if (run.code.Full()) run.Error(kMemoryFull, A);
  }
}

}  // namespace

CompileResult Compile(const std::vector<std::string>& lines, Language language,
                      const Clock& clock) {
  CompileResult r;
  MessageLog log(r.diagnostics);
  CodeWriter code(r.code, r.addressLines);
  ResetVectorTable(r.vectorTable);
  if (clock) r.stamp = clock();

  if (IsBlankProgram(lines)) {
    log.EmptyProgram();
  } else {
    CheckPass(lines, log);
    if (log.Errors() == 0) {
      Labels labels;
      Run run(log, code, labels, r.vectorTable);
      CodePass(lines, run, r.lineCode);
      if (log.Errors() == 0 && run.interrupts.open != 0) {
        // English names the line after the program, Turkish its last line.
        const auto n = static_cast<std::uint32_t>(lines.size());
        log.Error(n, {n + 1, n}, kMissingRet, A);
      } else if (log.Errors() == 0) {
        labels.Resolve(log, code, r.vectorTable);
      }
    }
    r.countersSet = true;
    if (log.Errors() == 0) {
      r.programValid = true;
      code.AppendEndMarker();
      // The END line owns the end marker, as its address line says.
      const std::uint32_t end = code.Length() - 1;
      if (const std::uint32_t endLine = r.addressLines[end];
          endLine != 0 && endLine <= r.lineCode.size()) {
        r.lineCode[endLine - 1] = {end, 1};
      }
      r.codeUsed = code.Length();
      r.codeRemaining = static_cast<std::uint32_t>(CodeCapacity) - code.Length();
      r.listingText = BuildListing(r.code, r.vectorTable);
    } else {
      code.ClampLength();
      r.lineCode.clear();
    }
  }

  r.messages = RenderMessages(r.diagnostics, r.stamp, language).text;
  r.errorCount = log.Errors();
  r.warningCount = log.Warnings();
  return r;
}

}  // namespace kivra::compiler
