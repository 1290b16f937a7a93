// TForm24: the report of goods sold, over a range of article codes.
#pragma once

#include <QLineEdit>
#include <QPushButton>

#include "reports/ui/report_dialog.h"

namespace tolvanet::ui {

class TForm24 : public ReportDialog {
  Q_OBJECT
 public:
  explicit TForm24(QWidget* parent = nullptr);

  QLineEdit* Edit1;      // password
  QLineEdit* Edit2;      // Код первого товара
  QLineEdit* Edit4;      // Код последнего товара
  QLineEdit* Edit3;      // Код ошибки
  QPushButton* Button1;  // Сделать отчет
  QPushButton* Button4;  // Состояние регистратора: a fresh status check first
  QPushButton* Button2;  // Закрыть

  // The last-code proposal by access level.
  static constexpr char kHighLastCode[] = "99999999999999";
  static constexpr char kMediumLastCode[] = "999999999";

 public slots:
  void FormActivate() override;
  void Button1Click();
  void Button4Click();

 protected:
  void EnableStatus(bool enabled) override { SetButtonEnabled(Button4, enabled); }
  void FormClose() override { SetButtonEnabled(Button4, false); }
};

}  // namespace tolvanet::ui
