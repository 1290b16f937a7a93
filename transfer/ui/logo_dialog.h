// TForm6 "Программирования логотипа": loads a BMP picture and programs it as the receipt logo.
#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "transfer/logo.h"
#include "transfer/ui/transfer_dialog.h"

class QImage;

namespace tolvanet::ui {

class TForm6 : public TransferDialog {
  Q_OBJECT
 public:
  explicit TForm6(QWidget* parent = nullptr);

  QLineEdit* Edit1;      // Пароль для программирования
  QLabel* Label5;        // largest width
  QLabel* Label6;        // largest height
  QLabel* Label9;        // picture width
  QLabel* Label10;       // picture height
  QLineEdit* Edit2;      // width to send
  QLineEdit* Edit3;      // height to send
  QGroupBox* GroupBox1;  // Вид логотипа
  QLabel* Image1;
  QProgressBar* ProgressBar1;
  QPushButton* Button2;  // Открыть
  QPushButton* Button3;  // Программировать
  QPushButton* Button1;  // Закрыть

  const transfer::Picture& picture() const { return picture_; }
  const transfer::LogoLimits& limits() const { return limits_; }

  void ProgressChanged(const transfer::TransferProgress& progress) override;

  // The picture as the window shows it.
  static QImage ImageOf(const transfer::Picture& picture);

 public slots:
  void FormActivate() override;
  void Button2Click();
  void Button3Click();
  void Button1Click();

 private:
  transfer::Picture picture_;
  transfer::LogoLimits limits_;
};

}  // namespace tolvanet::ui
