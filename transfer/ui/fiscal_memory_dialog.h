// TForm7: reads the fiscal (flash) memory into a file, writes it back from one, or erases it.
#pragma once

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "transfer/ui/transfer_dialog.h"

namespace tolvanet::ui {

class TForm7 : public TransferDialog {
  Q_OBJECT
 public:
  explicit TForm7(QWidget* parent = nullptr);

  QLineEdit* Edit3;  // Пароль
  QLineEdit* Edit4;  // Адрес начала данных
  QLineEdit* Edit5;  // Количество байтов
  QLineEdit* Edit7;  // Количество повторов при ошибке
  QLineEdit* Edit6;  // current address
  QLineEdit* Edit1;  // Результат выполнения (error code)
  QLineEdit* Edit2;  // Статус регистратора
  QLineEdit* Edit8;  // Повторов
  QProgressBar* CGauge1;
  QPushButton* Button3;  // Читать флеш-память
  QPushButton* Button4;  // Записать флеш-память
  QPushButton* Button2;  // Обнулить флеш-память
  QPushButton* Button5;  // Остановить
  QPushButton* Button1;  // Закрыть

  void ProgressChanged(const transfer::TransferProgress& progress) override;
  void ReplyReceived(const ReplyRecord& reply) override;

 public slots:
  void FormActivate() override;
  void Edit4Change();
  void Edit5Change();
  void Button2Click();
  void Button3Click();
  void Button4Click();
  void Button5Click();
  void Button1Click();

 private:
  // The input check of the address and count boxes; `changed` is the box edited.
  void InputCheck(QLineEdit* changed);
  // Start and count from the boxes, or a message and nothing.
  std::optional<transfer::FlashRange> Range();
};

}  // namespace tolvanet::ui
