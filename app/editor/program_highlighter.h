#pragma once

// Colours of the program language in the editor: keywords (from the compiler's own
// keyword table), END, numbers, label definitions and the labels jumps name, comments.
// Every line is coloured on its own, so an edit recolours only the lines it touches.

#include <QColor>
#include <QStringView>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <array>
#include <vector>

namespace kivra::app {

enum class Token { Keyword, End, Number, Label, LabelReference, Comment };
inline constexpr int kTokenKinds = 6;

struct TokenSpan {
  int start = 0;
  int length = 0;
  Token token = Token::Keyword;
};

// Lines longer than this are coloured only this far: nothing a program needs, and a
// megabyte line must not hold up typing.
inline constexpr int kMaxColouredColumns = 4096;

// The coloured parts of one editor line, in order.
std::vector<TokenSpan> ColourLine(QStringView line);

// Colours that read well on the editor's orange.
QColor TokenColour(Token token);

class ProgramHighlighter final : public QSyntaxHighlighter {
  Q_OBJECT
 public:
  explicit ProgramHighlighter(QTextDocument* document);

 protected:
  void highlightBlock(const QString& text) override;

 private:
  std::array<QTextCharFormat, kTokenKinds> formats_;
};

}  // namespace kivra::app
