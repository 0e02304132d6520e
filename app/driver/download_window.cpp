#include "app/driver/download_window.h"

#include <QProgressBar>
#include <QShowEvent>
#include <algorithm>

namespace kivra::app {

DownloadWindow::DownloadWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("TForm4"));
  setFixedSize(321, 57);
  bar_ = new QProgressBar(this);
  bar_->setObjectName(QStringLiteral("ProgressBar1"));
  bar_->setGeometry(12, 16, 297, 25);
  bar_->setMinimum(0);
  bar_->setTextVisible(true);
  bar_->setFormat(QStringLiteral("%p%"));
  bar_->setAlignment(Qt::AlignCenter);
}

void DownloadWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (const QWidget* main = parentWidget() ? parentWidget()->window() : nullptr) {
    move(main->frameGeometry().center() -
         QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
  }
}

void DownloadWindow::Begin(const QString& caption, int maximum) {
  setWindowTitle(caption);
  bar_->setMaximum(maximum);
  bar_->setValue(0);
}

void DownloadWindow::SetPosition(std::uint32_t position) {
  bar_->setValue(static_cast<int>(
      std::min<std::uint32_t>(position, static_cast<std::uint32_t>(bar_->maximum()))));
}

}  // namespace kivra::app
