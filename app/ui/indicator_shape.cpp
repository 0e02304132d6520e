#include "app/ui/indicator_shape.h"

#include <QMouseEvent>
#include <QPainter>

namespace kivra::app {

IndicatorShape::IndicatorShape(QWidget* parent, const QString& objectName, Form form,
                               const QRect& rect, const QColor& colour)
    : QWidget(parent), form_(form), colour_(colour) {
  setObjectName(objectName);
  setGeometry(rect);
}

void IndicatorShape::SetColour(const QColor& colour) {
  if (colour == colour_) return;
  colour_ = colour;
  update();
}

void IndicatorShape::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(colour_);
  const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  if (form_ == Form::Circle) {
    painter.drawEllipse(area);
  } else {
    const qreal radius = area.width() / 4;
    painter.drawRoundedRect(area, radius, radius);
  }
}

void IndicatorShape::mousePressEvent(QMouseEvent* event) {
  emit Pressed();
  event->accept();
}

}  // namespace kivra::app
