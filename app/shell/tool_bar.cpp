#include "app/shell/tool_bar.h"

#include <QFile>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <QToolButton>
#include <QToolTip>

namespace kivra::app {
namespace {

constexpr int kBarHeight = 57;
constexpr QSize kButtonSize{39, 38};
constexpr QSize kImageSize{32, 32};

QIcon RenderImage(int index) {
  const QString path = QStringLiteral(":/icons/image%1.svg").arg(index, 2, 10, QLatin1Char('0'));
  if (!QFile::exists(path)) return {};
  QSvgRenderer renderer(path);
  QIcon icon;
  for (int scale : {1, 2}) {
    QPixmap pixmap(kImageSize * scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(scale);
    icon.addPixmap(pixmap);
  }
  return icon;
}

// A gap between buttons; a divider is a gap with a vertical line in its middle.
QWidget* Gap(QWidget* parent, int width, bool divider) {
  if (!divider) {
    auto* gap = new QWidget(parent);
    gap->setFixedWidth(width);
    return gap;
  }
  auto* holder = new QWidget(parent);
  holder->setFixedWidth(width);
  auto* line = new QFrame(holder);
  line->setFrameStyle(QFrame::VLine | QFrame::Sunken);
  line->setGeometry(width / 2 - 1, 6, 2, kBarHeight - 14);
  return holder;
}

}  // namespace

ToolBarImages::ToolBarImages() {
  for (int i = 0; i < kCount; ++i) images_[i] = RenderImage(i);
}

QIcon ToolBarImages::Image(int index) const {
  return index >= 0 && index < kCount ? images_[index] : QIcon();
}

MainToolBar::MainToolBar(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("ToolBar1"));
  setFixedHeight(kBarHeight);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);

  // Left to right, with the gaps in pixels; a divider separates files, program and editing.
  row->addWidget(Gap(this, 9, false));
  row->addWidget(newProgram_ = AddButton(Control::NewProgramTool, 0));
  row->addWidget(Gap(this, 8, false));
  row->addWidget(open_ = AddButton(Control::OpenTool, 1));
  row->addWidget(Gap(this, 8, false));
  row->addWidget(save_ = AddButton(Control::SaveTool, 2));
  row->addWidget(Gap(this, 8, false));
  row->addWidget(saveAs_ = AddButton(Control::SaveAsTool, 3));
  row->addWidget(Gap(this, 36, true));
  row->addWidget(check_ = AddButton(Control::CheckTool, 8));
  row->addWidget(Gap(this, 8, false));
  row->addWidget(download_ = AddButton(Control::DownloadTool, 5));
  row->addWidget(Gap(this, 38, true));
  row->addWidget(find_ = AddButton(Control::FindTool, 6));
  row->addWidget(Gap(this, 10, false));
  row->addWidget(undo_ = AddButton(Control::UndoTool, 7));
  row->addWidget(Gap(this, 40, true));
  row->addWidget(language_ = AddButton(Control::LanguageTool, ToolBarImages::kTurkishToEnglish));
  row->addStretch(1);
  statusText_ = new QLabel(this);
  statusText_->setObjectName(QStringLiteral("StatusText"));
  statusText_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  // It may offer a link (help with the port at a first start), which the window follows.
  statusText_->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
  statusText_->setOpenExternalLinks(false);
  row->addWidget(statusText_);
  row->addSpacing(12);
}

void MainToolBar::SetKey(QToolButton* button, const QKeySequence& key) {
  button->setProperty("shortcutKey", key.toString(QKeySequence::NativeText));
  button->installEventFilter(this);
}

QString MainToolBar::ShownTip(const QToolButton* button) {
  const QString key = button->property("shortcutKey").toString();
  return key.isEmpty() ? button->toolTip()
                       : button->toolTip() + QStringLiteral("  (") + key + QLatin1Char(')');
}

bool MainToolBar::eventFilter(QObject* watched, QEvent* event) {
  auto* button = qobject_cast<QToolButton*>(watched);
  if (button && event->type() == QEvent::ToolTip && !button->toolTip().isEmpty()) {
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), ShownTip(button), button);
    return true;
  }
  return QFrame::eventFilter(watched, event);
}

QToolButton* MainToolBar::AddButton(Control control, int image) {
  auto* button = new QToolButton(this);
  button->setObjectName(ObjectName(control));
  button->setFixedSize(kButtonSize);
  button->setIconSize(kImageSize);
  button->setAutoRaise(true);
  button->setCursor(Qt::PointingHandCursor);
  button->setIcon(images_.Image(image));
  button->setProperty("imageIndex", image);
  return button;
}

void MainToolBar::ShowLanguageImage(Language language) {
  const int image =
      IsEnglish(language) ? ToolBarImages::kEnglishToTurkish : ToolBarImages::kTurkishToEnglish;
  language_->setIcon(images_.Image(image));
  language_->setProperty("imageIndex", image);
}

void MainToolBar::SetProgrammingButtonsEnabled(bool enabled) {
  for (QToolButton* button :
       {newProgram_, open_, save_, saveAs_, check_, download_, find_, undo_}) {
    button->setEnabled(enabled);
  }
}

}  // namespace kivra::app
