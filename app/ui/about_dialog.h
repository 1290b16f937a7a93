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
  QLabel* Label3;  // the build's version
  QLabel* Label4;  // the configuration file in use
  QLabel* Label5;  // the interface language in use
  QPushButton* Button1;

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace tolvanet::ui
