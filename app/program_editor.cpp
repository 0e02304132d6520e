#include "app/program_editor.h"

#include <algorithm>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>

#include "app/ui_look.h"
#include "common/cp1254.h"

namespace kivra::app {

ProgramEditor::ProgramEditor(QWidget* parent, const QRect& rect) : QPlainTextEdit(parent) {
  setObjectName(QStringLiteral("RichEdit1"));
  setGeometry(rect);
  setFont(look::FixedFont(11));
  look::SetBackground(this, look::kEditorBackground);
  viewport()->setAutoFillBackground(true);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setTabChangesFocus(false);
  setTabStopDistance(fontMetrics().horizontalAdvance(QLatin1Char(' ')) * 8);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  connect(document(), &QTextDocument::contentsChange, this, [this](int, int removed, int added) {
    if (!settingText_ && (removed > 0 || added > 0)) emit EditedByUser();
  });
}

void ProgramEditor::SetProgramText(const QString& text) {
  settingText_ = true;
  setPlainText(text);
  settingText_ = false;
}

void ProgramEditor::SetCaret(int position) {
  QTextCursor cursor = textCursor();
  cursor.setPosition(std::clamp(position, 0, document()->characterCount() - 1));
  setTextCursor(cursor);
}

void ProgramEditor::SelectRange(int start, int length) {
  QTextCursor cursor = textCursor();
  cursor.setPosition(start);
  cursor.setPosition(start + length, QTextCursor::KeepAnchor);
  setTextCursor(cursor);
  ensureCursorVisible();
}

int ProgramEditor::SelectionStart() const { return textCursor().selectionStart(); }

int ProgramEditor::SelectionLength() const {
  const QTextCursor cursor = textCursor();
  return cursor.selectionEnd() - cursor.selectionStart();
}

QString ProgramEditor::InCodePage(const QString& text) {
  const std::string utf8 = text.toStdString();
  if (IsCp1254Representable(utf8)) return text;
  return QString::fromStdString(Cp1254ToUtf8(Utf8ToCp1254(utf8)));
}

void ProgramEditor::insertFromMimeData(const QMimeData* source) {
  if (isReadOnly() || !source->hasText()) return;
  insertPlainText(InCodePage(source->text()));
  ensureCursorVisible();
}

void ProgramEditor::keyPressEvent(QKeyEvent* event) {
  if (!event->text().isEmpty()) emit CharacterKeyPressed();
  const QString typed = event->text();
  if (!typed.isEmpty() && !isReadOnly() && typed.at(0).isPrint() && InCodePage(typed) != typed) {
    insertPlainText(InCodePage(typed));
    event->accept();
    return;
  }
  if (event->key() == Qt::Key_F && event->modifiers().testFlag(Qt::ControlModifier)) emit FindRequested();
  if (event->key() == Qt::Key_F1) {
    emit HelpRequested();
    event->accept();
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

MessageList::MessageList(QWidget* parent, const QRect& rect) : QPlainTextEdit(parent) {
  setObjectName(QStringLiteral("RichEdit2"));
  setGeometry(rect);
  setFont(look::FixedFont(11));
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // Reached by the mouse only; Tab passes it by.
  setFocusPolicy(Qt::ClickFocus);
  viewport()->setCursor(Qt::PointingHandCursor);
}

void MessageList::mousePressEvent(QMouseEvent* event) {
  QPlainTextEdit::mousePressEvent(event);
  emit LineClicked(textCursor().block().text());
}

}  // namespace kivra::app
