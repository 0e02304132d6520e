#include "app/ui/ui_look.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>

namespace kivra::app::look {

QColor ButtonFace() {
  return QApplication::palette().color(QPalette::Button);
}

// Liberation Sans and Mono keep the widths of the classic Windows fonts the layout was
// drawn with, so captions fit their fixed places; DejaVu stands in where they are missing.
QFont UiFont() {
  QFont font;
  font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
  font.setPixelSize(11);
  return font;
}

QFont FixedFont(int pixelHeight) {
  QFont font;
  font.setFamilies({QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")});
  font.setStyleHint(QFont::TypeWriter);
  font.setPixelSize(pixelHeight);
  return font;
}

QFont BoldFont(int pixelHeight) {
  QFont font = UiFont();
  font.setPixelSize(pixelHeight);
  font.setBold(true);
  return font;
}

QLabel* AddLabel(QWidget* parent, const QString& objectName, const QString& text, const QRect& rect,
                 Qt::Alignment alignment) {
  auto* label = new QLabel(text, parent);
  if (!objectName.isEmpty()) label->setObjectName(objectName);
  label->setGeometry(rect);
  label->setAlignment(alignment);
  return label;
}

QLabel* AddValueBox(QWidget* parent, const QString& objectName, const QString& text,
                    const QRect& rect, const QColor& background) {
  QLabel* box = AddLabel(parent, objectName, text, rect, Qt::AlignCenter);
  box->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  box->setLineWidth(1);
  SetBackground(box, background);
  return box;
}

QGroupBox* AddGroup(QWidget* parent, const QString& objectName, const QRect& rect) {
  auto* group = new QGroupBox(parent);
  group->setObjectName(objectName);
  group->setGeometry(rect);
  return group;
}

void SetBackground(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, colour);
  palette.setColor(QPalette::Base, colour);
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

}  // namespace kivra::app::look
