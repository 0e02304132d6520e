#include "app/editor/editor_text.h"

#include <algorithm>

namespace kivra::app {
namespace {

constexpr int kHelpScanSteps = 20;

bool EndsHelpWord(QChar c) {
  return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char(';') ||
         c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::ParagraphSeparator;
}

}  // namespace

QString HelpWordAt(const QString& text, int selectionStart, int selectionLength) {
  // `p` is 1-based: position p is the character just before a caret at p.
  int p = selectionStart + (selectionLength > 1 ? 1 : 0);
  const int size = static_cast<int>(text.size());
  auto at = [&](int pos) -> std::optional<QChar> {
    if (pos < 1 || pos > size) return std::nullopt;  // outside the text: nothing, but no stop
    return text[pos - 1];
  };

  QString word;
  const int first = p;
  for (int step = 0; step < kHelpScanSteps; ++step, ++p) {
    const auto c = at(p);
    if (!c) continue;
    if (EndsHelpWord(*c)) break;
    word.append(*c);
  }
  for (int pos = first - 1, step = 0; step < kHelpScanSteps && pos >= 1; ++step, --pos) {
    const QChar c = text[pos - 1];
    if (EndsHelpWord(c)) break;
    word.prepend(c);
  }
  return word;
}

int EditorLineCount(const QString& text) {
  if (text.isEmpty()) return 0;
  const int breaks = static_cast<int>(text.count(QLatin1Char('\n')));
  return text.endsWith(QLatin1Char('\n')) ? breaks : breaks + 1;
}

std::optional<TextRange> EditorLineRange(const QString& text, int lineNumber) {
  if (lineNumber < 1 || lineNumber > EditorLineCount(text)) return std::nullopt;
  int start = 0;
  for (int n = 1; n < lineNumber; ++n)
    start = static_cast<int>(text.indexOf(QLatin1Char('\n'), start)) + 1;
  qsizetype end = text.indexOf(QLatin1Char('\n'), start);
  if (end < 0) end = text.size();
  return TextRange{start, static_cast<int>(end) - start};
}

std::optional<TextRange> MessageJumpSelection(const QString& text, int lineNumber) {
  std::optional<TextRange> line = EditorLineRange(text, lineNumber);
  if (line) line->length = std::max(0, line->length - 1);
  return line;
}

}  // namespace kivra::app
