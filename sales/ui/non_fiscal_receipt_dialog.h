// TForm8: prints the lines of its memo as one non-fiscal receipt.
#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/ui/task_dialog.h"

namespace tolvanet::ui {

class TForm8 : public TaskDialog {
  Q_OBJECT
 public:
  explicit TForm8(QWidget* parent = nullptr);

  QLineEdit* Edit1;       // Пароль
  QPlainTextEdit* Memo1;  // Строки для печати в нефискальном чеке
  QPushButton* Button2;   // Печать чека:
  QPushButton* Button1;   // Закрыть

 public slots:
  void Button2Click();
  void Memo1KeyPress(const QString& typed);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace tolvanet::ui
