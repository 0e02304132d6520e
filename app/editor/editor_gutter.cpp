#include "app/editor/editor_gutter.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include "app/editor/program_editor.h"
#include "app/ui/ui_look.h"

namespace kivra::app {
namespace {

constexpr int kMarkWidth = 10;
constexpr int kPadding = 4;
constexpr QColor kGutterBackground{240, 190, 140};
constexpr QColor kLineNumber{90, 60, 30};
constexpr QColor kCodeText{125, 100, 75};
constexpr QColor kWarning{230, 140, 0};

int Digits(int n) {
  int digits = 1;
  while (n >= 10) {
    n /= 10;
    ++digits;
  }
  return digits;
}

}  // namespace

void ShowLineTip(const QPoint& globalPos, const QString& text, QWidget* over) {
  if (text.isEmpty()) {
    QToolTip::hideText();
    return;
  }
  QToolTip::showText(globalPos, QStringLiteral("<pre>%1</pre>").arg(text.toHtmlEscaped()), over);
}

EditorGutter::EditorGutter(ProgramEditor* editor) : QWidget(editor), editor_(editor) {
  setObjectName(QStringLiteral("EditorGutter"));
  setFont(editor->font());
}

void EditorGutter::SetMarks(LineMarks marks) {
  if (marks == marks_) return;
  marks_ = std::move(marks);
  update();
}

void EditorGutter::SetLineCode(std::vector<compiler::LineCode> code) {
  code_ = std::move(code);
  update();
}

QString EditorGutter::CodeText(const compiler::LineCode& code) {
  if (code.length == 0) return {};
  return QStringLiteral("%1 %2").arg(code.address, 4, 10, QLatin1Char('0')).arg(code.length, 2);
}

int EditorGutter::PreferredWidth() const {
  const int lineDigits = std::max(3, Digits(editor_->blockCount()));
  // Number, blank, "2047", blank, two digits of bytes.
  return kMarkWidth + fontMetrics().horizontalAdvance(QLatin1Char('9')) * (lineDigits + 8) +
         kPadding * 2;
}

void EditorGutter::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), kGutterBackground);
  painter.setRenderHint(QPainter::Antialiasing);
  const QFontMetrics metrics = fontMetrics();
  const int lineDigits = std::max(3, Digits(editor_->blockCount()));
  const int numberRight = kMarkWidth + metrics.horizontalAdvance(QLatin1Char('9')) * lineDigits;
  for (const VisibleLine& line : editor_->VisibleLines()) {
    if (line.top > event->rect().bottom()) break;
    if (line.top + line.height < event->rect().top()) continue;
    const QRect row(0, line.top, width() - kPadding, metrics.height());
    if (const auto mark = marks_.find(line.number); mark != marks_.end()) {
      painter.setPen(Qt::NoPen);
      painter.setBrush(mark->second == compiler::Severity::Error ? look::kRed : kWarning);
      const int d = std::min(kMarkWidth - 3, metrics.height() - 4);
      painter.drawEllipse(QRectF(2, line.top + (metrics.height() - d) / 2.0, d, d));
    }
    painter.setPen(kLineNumber);
    painter.drawText(QRect(0, row.top(), numberRight, row.height()),
                     Qt::AlignRight | Qt::AlignVCenter, QString::number(line.number));
    const auto index = static_cast<std::size_t>(line.number - 1);
    if (index < code_.size()) {
      painter.setPen(kCodeText);
      painter.drawText(QRect(numberRight, row.top(), row.width() - numberRight, row.height()),
                       Qt::AlignRight | Qt::AlignVCenter, CodeText(code_[index]));
    }
  }
}

int EditorGutter::LineAt(int y) const {
  for (const VisibleLine& line : editor_->VisibleLines()) {
    if (y >= line.top && y < line.top + line.height) return line.number;
  }
  return 0;
}

bool EditorGutter::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    const int line = LineAt(help->pos().y());
    ShowLineTip(help->globalPos(), line != 0 && tips_ ? tips_(line) : QString(), this);
    return true;
  }
  return QWidget::event(event);
}

}  // namespace kivra::app
