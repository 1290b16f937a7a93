// TForm3: the About box.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>

namespace tolvanet::ui {

class TForm3 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm3(QWidget* parent = nullptr);
  QLabel* Label1;
  QLabel* Label2;
  QPushButton* Button1;
};

}  // namespace tolvanet::ui
