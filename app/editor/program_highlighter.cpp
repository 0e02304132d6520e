#include "app/editor/program_highlighter.h"

#include <QTextCharFormat>

#include "compiler/keywords.h"

namespace kivra::app {
namespace {

// Blanks and the language's separators end a word; everything else belongs to one.
bool EndsWord(QChar c) {
  switch (c.unicode()) {
    case ' ':
    case '\t':
    case '=':
    case ',':
    case '<':
    case '>':
    case ';':
    case ':':
      return true;
    default:
      return false;
  }
}

bool IsBlank(QChar c) {
  return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Only ASCII letters are folded: the compiler never takes a Turkish letter for a keyword letter.
char AsciiUpper(QChar c) {
  const char16_t u = c.unicode();
  return static_cast<char>(u >= 'a' && u <= 'z' ? u - 'a' + 'A' : u);
}

bool SameWord(QStringView word, std::string_view upper) {
  if (word.size() != static_cast<qsizetype>(upper.size())) return false;
  for (qsizetype i = 0; i < word.size(); ++i) {
    if (word[i].unicode() > 0x7F || AsciiUpper(word[i]) != upper[static_cast<std::size_t>(i)])
      return false;
  }
  return true;
}

bool IsKeyword(QStringView word) {
  for (const std::string_view keyword : compiler::KeywordNames()) {
    if (SameWord(word, keyword)) return true;
  }
  return false;
}

bool IsNumber(QStringView word) {
  qsizetype i = word.startsWith(QLatin1Char('-')) || word.startsWith(QLatin1Char('+')) ? 1 : 0;
  if (i == word.size()) return false;
  for (; i < word.size(); ++i) {
    if (!word[i].isDigit() || word[i].unicode() > 0x7F) return false;
  }
  return true;
}

}  // namespace

std::vector<TokenSpan> ColourLine(QStringView line) {
  std::vector<TokenSpan> spans;
  line = line.left(kMaxColouredColumns);
  const qsizetype semicolon = line.indexOf(QLatin1Char(';'));
  const qsizetype statementEnd = semicolon < 0 ? line.size() : semicolon;

  // A colon before the statement's end closes a label; the command follows it.
  qsizetype pos = 0;
  while (pos < statementEnd && IsBlank(line[pos])) ++pos;
  if (const qsizetype colon = line.left(statementEnd).indexOf(QLatin1Char(':')); colon >= 0) {
    spans.push_back({static_cast<int>(pos), static_cast<int>(colon + 1 - pos), Token::Label});
    pos = colon + 1;
  }

  // The command's words: the keyword first; the word after JUMP, RET and GO is a label.
  bool first = true;
  bool labelNext = false;
  while (pos < statementEnd) {
    if (EndsWord(line[pos])) {
      ++pos;
      continue;
    }
    qsizetype end = pos;
    while (end < statementEnd && !EndsWord(line[end])) ++end;
    const QStringView word = line.mid(pos, end - pos);
    const auto add = [&](Token token) {
      spans.push_back({static_cast<int>(pos), static_cast<int>(end - pos), token});
    };
    if (first && SameWord(word, "END")) {
      add(Token::End);
    } else if (first && IsKeyword(word)) {
      add(Token::Keyword);
      labelNext = SameWord(word, "JUMP") || SameWord(word, "RET");
    } else if (labelNext) {
      add(Token::LabelReference);
      labelNext = false;
    } else if (SameWord(word, "GO")) {
      add(Token::Keyword);
      labelNext = true;
    } else if (IsNumber(word)) {
      add(Token::Number);
    }
    first = false;
    pos = end;
  }
  if (semicolon >= 0) {
    spans.push_back(
        {static_cast<int>(semicolon), static_cast<int>(line.size() - semicolon), Token::Comment});
  }
  return spans;
}

QColor TokenColour(Token token) {
  switch (token) {
    case Token::Keyword:
      return {0, 0, 160};
    case Token::End:
      return {150, 0, 0};
    case Token::Number:
      return {128, 0, 96};
    case Token::Label:
    case Token::LabelReference:
      return {0, 100, 0};
    case Token::Comment:
      return {105, 85, 60};
  }
  return Qt::black;
}

ProgramHighlighter::ProgramHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
  for (std::size_t i = 0; i < formats_.size(); ++i)
    formats_[i].setForeground(TokenColour(static_cast<Token>(i)));
  for (Token bold : {Token::Keyword, Token::End, Token::Label})
    formats_[static_cast<int>(bold)].setFontWeight(QFont::Bold);
  formats_[static_cast<int>(Token::LabelReference)].setFontUnderline(true);
  formats_[static_cast<int>(Token::Comment)].setFontItalic(true);
}

void ProgramHighlighter::highlightBlock(const QString& text) {
  for (const TokenSpan& span : ColourLine(text)) {
    setFormat(span.start, span.length, formats_[static_cast<int>(span.token)]);
  }
}

}  // namespace kivra::app
