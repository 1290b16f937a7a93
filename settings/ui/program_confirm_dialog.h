// TForm22: choose what the fiscal-parameter window programs, or cancel the programming.
#pragma once

#include <QCheckBox>

#include "app/ui/task_dialog.h"

namespace tolvanet::ui {

class TForm22 : public TaskDialog {
  Q_OBJECT
 public:
  explicit TForm22(QWidget* parent = nullptr);

  QCheckBox* CheckBox2;  // Запрограммировать фискальный номер
  QCheckBox* CheckBox3;  // Запрограммировать идентификационный/налоговый номер РРО
  QCheckBox* CheckBox4;  // Запрограммировать налоги
  QPushButton* Button1;  // Продолжить
  QPushButton* Button2;  // Отменить

  // Set unless the window was left with "Продолжить": closing it any other way cancels.
  bool Cancelled() const { return cancelled_; }

 public slots:
  void Button1Click();
  void Button2Click();

 protected:
  void FormActivate() override;

 private:
  bool cancelled_ = true;
};

}  // namespace tolvanet::ui
