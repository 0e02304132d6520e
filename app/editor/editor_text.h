#pragma once

// Text rules of the program editor and the message list, kept apart from the widgets.
// Positions count characters of the editor's plain text, each line break as one ("\n").

#include <QString>
#include <optional>

namespace kivra::app {

// The word F1 asks help for: from the character before the caret, up to 20 characters
// forwards and 20 backwards, stopping at a blank, a tab, a ';' or a line break. With more
// than one character selected the scan starts at the selection's first character.
QString HelpWordAt(const QString& text, int selectionStart, int selectionLength);

// The part of editor line `lineNumber` (1-based) that the jump from a message selects:
// the line without its last character. Empty for a one-character or empty line; no value
// for a line number outside the text.
struct TextRange {
  int start = 0;
  int length = 0;
};
std::optional<TextRange> MessageJumpSelection(const QString& text, int lineNumber);

// The whole text of editor line `lineNumber` (1-based) without its line break, as the
// debug display selects it; no value for a line number outside the text.
std::optional<TextRange> EditorLineRange(const QString& text, int lineNumber);

// Number of editor lines; a text that ends with a line break has no empty line after it.
int EditorLineCount(const QString& text);

}  // namespace kivra::app
