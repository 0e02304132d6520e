#pragma once

#include <QPlainTextEdit>

namespace kivra::app {

// The program editor `RichEdit1`: plain text, no wrapping, Tab inserts a tab. It tells its
// owner about typing and edits; text the program puts in with SetProgramText is neither.
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

 signals:
  // A key that produces a character (Backspace, Enter, Tab and Ctrl+letter included) went
  // down, also while the editor is read-only.
  void CharacterKeyPressed();
  // The text changed by the user's hand: typing, Delete, paste, cut, drop, undo.
  void EditedByUser();
  void FindRequested();
  void HelpRequested();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void insertFromMimeData(const QMimeData* source) override;

 private:
  bool settingText_ = false;
};

// The message list `RichEdit2`: the check writes into it; a click on an error or warning
// header jumps to the program line it names.
class MessageList : public QPlainTextEdit {
  Q_OBJECT
 public:
  MessageList(QWidget* parent, const QRect& rect);

 signals:
  // After any mouse button went down: the logical line (between two line breaks, however
  // it wraps on screen) that holds the caret.
  void LineClicked(const QString& line);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace kivra::app
