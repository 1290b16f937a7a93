// TForm21: builds a fiscal receipt on the register step by step: open, sell articles from the
// article list, discounts and surcharges, voids, total, cash or card payment, close, bar code
// and customer display.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <string>
#include <string_view>

#include "app/ui/task_dialog.h"
#include "link/reply.h"
#include "sales/card_payment.h"
#include "sales/receipts.h"

namespace tolvanet::ui {

class TForm20;

class TForm21 : public TaskDialog, private CardPaymentHost {
  Q_OBJECT
 public:
  explicit TForm21(QWidget* parent = nullptr);

  QLineEdit* Edit1;        // Пароль
  QLineEdit* Edit12;       // Номер оператора
  QCheckBox* CheckBox1;    // Чек возврата
  QCheckBox* CheckBox2;    // Выводить информацию на дисплей
  QListWidget* ListBox1;   // Товары
  QLineEdit* Edit3;        // the chosen article line
  QLineEdit* Edit10;       // Кол-во
  QLineEdit* Edit9;        // Цена за ед.
  QLineEdit* Edit2;        // comment and customer-display text
  QComboBox* ComboBox2;    // customer-display function
  QLineEdit* Edit11;       // the 12 digits of an EAN-13 code
  QGroupBox* GroupBox1;    // Скидка процентная
  QLineEdit* Edit4;        // percentage
  QLineEdit* Edit6;        // its tax group
  QGroupBox* GroupBox2;    // Скидка абсолютная
  QLineEdit* Edit5;        // absolute value
  QLineEdit* Edit15;       // its tax group
  QLabel* Label6;          // Сумма по чеку:
  QLabel* Label5;          // the total after "Печать итога"; a click copies it to Edit8
  QComboBox* ComboBox1;    // payment type
  QLineEdit* Edit8;        // payment amount
  QCheckBox* CheckBox3;    // typed transaction identifier
  QLineEdit* Edit13;       // that identifier
  QCheckBox* CheckBox4;    // no card lines
  QLabel* CardStageLabel;  // where a card payment is while the terminal is waited for
  QLabel* Label10;         // Код ошибки:
  QLineEdit* Edit7;        // error code of the last reply
  QPushButton* Button1;    // Открыть чек
  QPushButton* Button10;   // Печать комментария
  QPushButton* Button2;    // Продать
  QPushButton* Button3;    // percentage on the item
  QPushButton* Button4;    // absolute on the item
  QPushButton* Button6;    // percentage on the subtotal
  QPushButton* Button7;    // absolute on the subtotal
  QPushButton* Button19;   // percentage on a tax group
  QPushButton* Button20;   // absolute on a tax group
  QPushButton* Button12;   // Аннулирование всего чека
  QPushButton* Button5;    // Начало аннулирования
  QPushButton* Button14;   // Конец аннулирования
  QPushButton* Button15;   // Отмена аннулирования
  QPushButton* Button13;   // Печать итога
  QPushButton* Button8;    // Оплатить
  QPushButton* Button9;    // Закрыть чек
  QPushButton* Button17;   // Штрих-код EAN-13
  QPushButton* Button18;   // Вывод на индикатор
  QPushButton* Button16;   // Состояние регистратора
  QPushButton* Button11;   // Закрыть

  // The waiting limits of the card terminal exchange (tests shorten them).
  CardTerminalTimings card_timings;

  // The article window whose list (and file choice) this window shares.
  void SetArticleDialog(TForm20* form) { articles_ = form; }

 public slots:
  void FormActivate() override;
  void ListBox1Click();
  void Label5Click();
  void Button1Click();
  void Button10Click();
  void Button2Click();
  void Button3Click();
  void Button4Click();
  void Button6Click();
  void Button7Click();
  void Button19Click();
  void Button20Click();
  void Button12Click();
  void Button5Click();
  void Button14Click();
  void Button15Click();
  void Button13Click();
  void Button8Click();
  void Button9Click();
  void Button17Click();
  void Button18Click();
  void Button11Click();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The receipt result handling: current reply, "Код ошибки:", the status button, and the
  // button's own time-out or error text (original texts, translated here). True when the
  // command succeeded.
  bool Finish(int code, int builder_result, const ReplyRecord& reply, std::string_view timeout,
              std::string_view error);
  // Edit1 as Windows-1251; nothing (with a message shown) when it cannot go into a command.
  std::optional<std::string> Password();
  // The bar code and the display: the reply and "Код ошибки:" as every button, a failure
  // shown under `heading` (an original text, translated here), but the status button left as
  // it is.
  void EndWithoutStatusButton(int code, int builder_result, const ReplyRecord& reply,
                              const char* heading);
  // A sequence of the core ended: "Код ошибки:" and the status button from the current reply,
  // then its message.
  void ShowOutcome(const sales::Outcome& outcome);
  void Discount(bool percent, int code);
  void Void(int mode);
  void CardPayment(int type);

  // The card payment's host: messages through the platform, the window kept painted while the
  // terminal is waited for, Esc and the close box as cancel.
  void ShowMessage(const std::string& text) override;
  void ProcessPendingMessages() override { KeepGoing(); }
  bool CancelRequested() override { return StopRequested(); }
  void ReplyReceived(const ReplyRecord& reply) override;
  void StageChanged(CardStage stage) override;

  TForm20* articles_ = nullptr;
};

}  // namespace tolvanet::ui
