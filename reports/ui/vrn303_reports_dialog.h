// TForm48: the daily reports of VRN303 registers: X, Z, and unloading and clearing the control
// tape (with the article base, if asked).
#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "reports/ui/report_dialog.h"

namespace tolvanet::ui {

class TForm48 : public ReportDialog {
  Q_OBJECT
 public:
  explicit TForm48(QWidget* parent = nullptr);

  QLineEdit* Edit1;      // password
  QLineEdit* Edit3;      // Код ошибки
  QCheckBox* CheckBox1;  // Обнулить базу товаров
  QPushButton* Button1;  // X-отчет
  QPushButton* Button2;  // Z-отчет
  QPushButton* Button6;  // Выгрузка и обнуления контрольной ленты (access level "high")
  QPushButton* Button4;  // Состояние регистратора: refreshes this window
  QPushButton* Button3;  // Закрыть

 public slots:
  void FormActivate() override;
  void Button1Click();
  void Button2Click();
  void Button6Click();
  void Button4Click();
  void Button3Click();

 protected:
  void EnableStatus(bool enabled) override { Button4->setEnabled(enabled); }

 private:
  // What the window shows by the shared state: the status button while the status is available,
  // the unloading button only for the access level "high".
  void ApplyState();
};

}  // namespace tolvanet::ui
