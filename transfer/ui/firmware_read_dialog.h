// TForm45 "Чтение ПО": reads the register's firmware into a file.
#pragma once

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "transfer/ui/transfer_dialog.h"

namespace tolvanet::ui {

class TForm45 : public TransferDialog {
  Q_OBJECT
 public:
  explicit TForm45(QWidget* parent = nullptr);

  QLineEdit* Edit2;  // Пароль
  QLineEdit* Edit7;  // Код ошибки
  QProgressBar* ProgressBar1;
  QPushButton* Button1;  // Чтение внутреннего ПО
  QPushButton* Button3;  // Стоп
  QPushButton* Button2;  // Выход

  void ProgressChanged(const transfer::TransferProgress& progress) override;

 public slots:
  void Button1Click();
  void Button3Click();
  void Button2Click();
};

}  // namespace tolvanet::ui
