// TForm35: shows whether a receipt is left open in the register and voids or closes it.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>

#include "app/ui/task_dialog.h"

namespace tolvanet::ui {

class TForm35 : public TaskDialog {
  Q_OBJECT
 public:
  explicit TForm35(QWidget* parent = nullptr);

  QLineEdit* Edit1;      // Код ошибки
  QPushButton* Button2;  // Закрыть чек
  QPushButton* Button3;  // Аннулировать чек
  QPushButton* Button4;  // Состояние регистратора
  QPushButton* Button1;  // Выход
  QStatusBar* StatusBar1;
  QLabel* StatusPanel;  // the status bar's one panel: the receipt state

 public slots:
  void FormActivate() override;
  void Button2Click();
  void Button3Click();
  void Button4Click();

 private:
  void SetReceiptButtons(bool close, bool void_receipt);
  void NoOpenReceipt();
  void CheckState();
};

}  // namespace tolvanet::ui
