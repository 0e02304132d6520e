#pragma once

#include <QPlainTextEdit>
#include <cstdint>
#include <functional>
#include <vector>

#include "app/editor/editor_gutter.h"
#include "common/language.h"

namespace kivra::app {

class ProgramHighlighter;

// A line of the editor on screen: its 1-based number and where it stands in the viewport.
struct VisibleLine {
  int number = 0;
  int top = 0;
  int height = 0;
};

// The program editor `RichEdit1`: plain text, no wrapping, Tab inserts a tab. It tells its
// owner about typing and edits; text the program puts in with SetProgramText is neither.
// It colours the language, keeps a gutter of line numbers and code addresses inside its
// area, and marks the lines the live check has messages for.
class ProgramEditor : public QPlainTextEdit {
  Q_OBJECT
 public:
  ProgramEditor(QWidget* parent, const QRect& rect);

  // Replaces the whole text without counting as an edit; the undo history starts afresh.
  void SetProgramText(const QString& text);
  void SetCaret(int position);
  void SelectRange(int start, int length);
  int SelectionStart() const;
  int SelectionLength() const;

  // Program files hold code page 1254 text; a character without a byte there is shown
  // and kept as '?' from the moment it is typed or pasted, so a save loses nothing unseen.
  static QString InCodePage(const QString& text);

  // Wavy underlines and gutter marks on these lines; the tooltip of a marked line is
  // what `tips` gives for it, asked when the mouse rests there.
  void SetMarks(const LineMarks& marks);
  void SetLineTips(std::function<QString(int line)> tips);
  EditorGutter* gutter() const { return gutter_; }
  std::vector<VisibleLine> VisibleLines() const;

 signals:
  // A key that produces a character (Backspace, Enter, Tab and Ctrl+letter included) went
  // down, also while the editor is read-only.
  void CharacterKeyPressed();
  // The text changed by the user's hand: typing, Delete, paste, cut, drop, undo.
  void EditedByUser();
  void FindRequested();
  void HelpRequested();
  // A program file was dropped on the editor: the window opens it.
  void ProgramFileDropped(const QString& path);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void insertFromMimeData(const QMimeData* source) override;
  void resizeEvent(QResizeEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void UpdateGutterWidth();

  bool settingText_ = false;
  ProgramHighlighter* highlighter_;
  EditorGutter* gutter_;
  std::function<QString(int)> tips_;
};

// The message list `RichEdit2`: the check writes into it; a click on an error or warning
// header jumps to the program line it names. The list keeps, for each row the check
// wrote, the line that row names; once anything else changes the text, no row names one.
class MessageList : public QPlainTextEdit {
  Q_OBJECT
 public:
  MessageList(QWidget* parent, const QRect& rect);

  // The check's text, the editor line each of its rows names (0 for none) and the
  // language it was written in.
  void ShowCheck(const QString& text, std::vector<std::uint32_t> rowLines, Language language);

 signals:
  // After any mouse button went down on a row that names a program line (the logical
  // line that holds the caret, however it wraps on screen).
  void LineClicked(int line, kivra::Language writtenIn);

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  std::vector<std::uint32_t> rowLines_;
  Language rowsLanguage_ = Language::Turkish;
};

}  // namespace kivra::app
