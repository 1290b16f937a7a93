// A small coloured lamp for the link state.
#pragma once

#include <QColor>
#include <QWidget>

namespace tolvanet::ui {

// The link colours, given as the register's Windows colour values (blue in the high byte).
namespace colours {
QColor FromWindows(unsigned value);
inline const QColor kRed = FromWindows(0x0000FF);
inline const QColor kGreen = FromWindows(0x008000);
inline const QColor kYellow = FromWindows(0x00FFFF);
inline const QColor kLime = FromWindows(0x00FF00);
}  // namespace colours

class Indicator : public QWidget {
  Q_OBJECT
 public:
  explicit Indicator(bool rounded, QWidget* parent = nullptr);
  void setColor(const QColor& c);
  QColor color() const { return color_; }
  QSize sizeHint() const override { return {22, 22}; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  bool rounded_;
  QColor color_ = colours::kRed;
};

}  // namespace tolvanet::ui
