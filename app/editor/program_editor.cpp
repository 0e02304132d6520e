#include "app/editor/program_editor.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QUrl>
#include <algorithm>

#include "app/editor/program_highlighter.h"
#include "app/files/program_file.h"
#include "app/ui/ui_look.h"
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

  highlighter_ = new ProgramHighlighter(document());
  gutter_ = new EditorGutter(this);
  connect(this, &QPlainTextEdit::blockCountChanged, this, &ProgramEditor::UpdateGutterWidth);
  connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect& rect, int dy) {
    if (dy != 0) {
      gutter_->scroll(0, dy);
    } else {
      gutter_->update(0, rect.y(), gutter_->width(), rect.height());
    }
  });
  UpdateGutterWidth();
}

void ProgramEditor::UpdateGutterWidth() {
  const int width = gutter_->PreferredWidth();
  if (viewportMargins().left() == width) return;
  setViewportMargins(width, 0, 0, 0);
  const QRect area = contentsRect();
  gutter_->setGeometry(area.left(), area.top(), width, viewport()->height());
}

void ProgramEditor::resizeEvent(QResizeEvent* event) {
  QPlainTextEdit::resizeEvent(event);
  const QRect area = contentsRect();
  gutter_->setGeometry(area.left(), area.top(), gutter_->PreferredWidth(), viewport()->height());
}

std::vector<VisibleLine> ProgramEditor::VisibleLines() const {
  std::vector<VisibleLine> lines;
  const int bottom = viewport()->height();
  QTextBlock block = firstVisibleBlock();
  int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
  while (block.isValid() && top <= bottom) {
    const int height = qRound(blockBoundingRect(block).height());
    if (block.isVisible()) lines.push_back({block.blockNumber() + 1, top, height});
    top += height;
    block = block.next();
  }
  return lines;
}

void ProgramEditor::SetMarks(const LineMarks& marks) {
  QList<QTextEdit::ExtraSelection> underlines;
  for (const auto& [line, severity] : marks) {
    const QTextBlock block = document()->findBlockByNumber(line - 1);
    if (!block.isValid()) continue;
    // From the first character that is not a blank to the end of the line.
    const QString text = block.text();
    int first = 0;
    while (first < text.size() &&
           (text[first] == QLatin1Char(' ') || text[first] == QLatin1Char('\t')))
      ++first;
    if (first == text.size()) continue;
    QTextEdit::ExtraSelection underline;
    underline.cursor = QTextCursor(block);
    underline.cursor.setPosition(block.position() + first);
    underline.cursor.setPosition(block.position() + static_cast<int>(text.size()),
                                 QTextCursor::KeepAnchor);
    underline.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    underline.format.setUnderlineColor(severity == compiler::Severity::Error ? look::kRed
                                                                             : QColor(230, 140, 0));
    underlines.append(underline);
  }
  setExtraSelections(underlines);
  gutter_->SetMarks(marks);
}

void ProgramEditor::SetLineTips(std::function<QString(int line)> tips) {
  tips_ = tips;
  gutter_->SetTips(std::move(tips));
}

bool ProgramEditor::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    const int line = cursorForPosition(help->pos()).blockNumber() + 1;
    ShowLineTip(help->globalPos(), tips_ ? tips_(line) : QString(), viewport());
    return true;
  }
  return QPlainTextEdit::viewportEvent(event);
}

namespace {

// Files dropped from a file manager: a program file opens; the name of any other file
// never becomes program text.
bool CarriesFiles(const QMimeData* mime) {
  if (!mime->hasUrls()) return false;
  const QList<QUrl> urls = mime->urls();
  return std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}

// Files dragged from a file manager: a program file is taken (it opens when dropped),
// any other is refused. False when the drag carries no files.
bool TakeFileDrag(QDropEvent* event) {
  if (!CarriesFiles(event->mimeData())) return false;
  if (DroppedProgramFile(event->mimeData()).isEmpty()) {
    event->ignore();
  } else {
    event->acceptProposedAction();
  }
  return true;
}

}  // namespace

void ProgramEditor::dragEnterEvent(QDragEnterEvent* event) {
  if (!TakeFileDrag(event)) QPlainTextEdit::dragEnterEvent(event);
}

void ProgramEditor::dragMoveEvent(QDragMoveEvent* event) {
  if (!TakeFileDrag(event)) QPlainTextEdit::dragMoveEvent(event);
}

void ProgramEditor::dropEvent(QDropEvent* event) {
  // A program file dropped here opens, as it does anywhere on the window; its name never
  // becomes text in the program.
  if (CarriesFiles(event->mimeData())) {
    const QString path = DroppedProgramFile(event->mimeData());
    if (path.isEmpty()) {
      event->ignore();
      return;
    }
    event->acceptProposedAction();
    emit ProgramFileDropped(path);
    return;
  }
  QPlainTextEdit::dropEvent(event);
}

void ProgramEditor::SetProgramText(const QString& text) {
  settingText_ = true;
  setPlainText(text);
  settingText_ = false;
  // The addresses belonged to the text that was there.
  gutter_->SetLineCode({});
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

int ProgramEditor::SelectionStart() const {
  return textCursor().selectionStart();
}

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
  if (event->key() == Qt::Key_F && event->modifiers().testFlag(Qt::ControlModifier))
    emit FindRequested();
  // Ctrl+Y redoes everywhere, as Ctrl+Shift+Z already does.
  if (event->key() == Qt::Key_Y && event->modifiers() == Qt::ControlModifier) {
    if (!isReadOnly()) redo();
    event->accept();
    return;
  }
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
  // Once anything but the check changes the text (emptied, typed into), no row names a
  // line any more; ShowCheck sets the rows after its text.
  connect(document(), &QTextDocument::contentsChanged, this, [this] { rowLines_.clear(); });
}

void MessageList::ShowCheck(const QString& text, std::vector<std::uint32_t> rowLines,
                            Language language) {
  setPlainText(text);
  rowLines_ = std::move(rowLines);
  rowsLanguage_ = language;
}

void MessageList::mousePressEvent(QMouseEvent* event) {
  QPlainTextEdit::mousePressEvent(event);
  const auto row = static_cast<std::size_t>(textCursor().blockNumber());
  if (row < rowLines_.size() && rowLines_[row] != 0)
    emit LineClicked(static_cast<int>(rowLines_[row]), rowsLanguage_);
}

}  // namespace kivra::app
