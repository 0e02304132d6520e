#pragma once

#include <QColor>
#include <QWidget>

namespace kivra::app {

// A coloured indicator of the status displays: lime for on, scroll-bar grey for off, red
// for a connection that is down.
class IndicatorShape : public QWidget {
  Q_OBJECT
 public:
  enum class Form { RoundedSquare, Circle };

  IndicatorShape(QWidget* parent, const QString& objectName, Form form, const QRect& rect,
                 const QColor& colour);

  QColor Colour() const { return colour_; }
  void SetColour(const QColor& colour);

 signals:
  void Pressed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  Form form_;
  QColor colour_;
};

}  // namespace kivra::app
