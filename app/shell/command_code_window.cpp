#include "app/shell/command_code_window.h"

#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <algorithm>

#include "app/ui/controls.h"
#include "app/ui/ui_look.h"

namespace kivra::app {

CommandCodeWindow::CommandCodeWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(ObjectName(Control::CommandCodes));
  setFixedSize(301, 628);
  listing_ = new QPlainTextEdit(this);
  listing_->setObjectName(QStringLiteral("RichEdit3"));
  listing_->setGeometry(12, 8, 277, 613);
  listing_->setReadOnly(true);
  listing_->setFont(look::FixedFont(9));
  look::SetBackground(listing_, look::kScrollBar);
  listing_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  listing_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  listing_->setFocusPolicy(Qt::ClickFocus);
}

void CommandCodeWindow::SetListing(const QString& listing) {
  listing_->setPlainText(listing);
}

void CommandCodeWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  emit Closed();
}

void CommandCodeWindow::showEvent(QShowEvent* event) {
  if (!placed_) {
    // Its place beside a 1280-pixel-wide main window, pulled onto smaller screens.
    placed_ = true;
    QPoint at(1109, 167);
    if (const QScreen* screen = this->screen()) {
      const QRect area = screen->availableGeometry();
      at.setX(std::clamp(at.x(), area.left(),
                         std::max(area.left(), area.right() - frameGeometry().width())));
      at.setY(std::clamp(at.y(), area.top(),
                         std::max(area.top(), area.bottom() - frameGeometry().height())));
    }
    move(at);
  }
  QWidget::showEvent(event);
}

}  // namespace kivra::app
