#include "app/ui/indicator.h"

#include <QPainter>

namespace tolvanet::ui {

QColor colours::FromWindows(unsigned value) {
  return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

Indicator::Indicator(bool rounded, QWidget* parent) : QWidget(parent), rounded_(rounded) {
  setFixedSize(sizeHint());
}

void Indicator::setColor(const QColor& c) {
  color_ = c;
  update();
}

void Indicator::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(color_);
  QRectF r = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
  if (rounded_) {
    p.drawRoundedRect(r, 6, 6);
  } else {
    p.drawRect(r);
  }
}

}  // namespace tolvanet::ui
