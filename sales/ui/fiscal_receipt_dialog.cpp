// TForm21: the fiscal receipt, one button per device command.
#include "sales/ui/fiscal_receipt_dialog.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <climits>

#include "app/app_state.h"
#include "app/dialog_pattern.h"
#include "app/platform.h"
#include "app/ui/qt_platform.h"
#include "link/codepage.h"
#include "link/commands.h"
#include "link/decimal.h"
#include "link/free_text.h"
#include "sales/card_payment.h"
#include "sales/receipts.h"
#include "sales/ui/article_dialog.h"

namespace tolvanet::ui {

namespace {

constexpr const char* kDiscountTimeout = TrNoop("Таймаут устройства! Ошибка надбавки-скидки!");
constexpr const char* kDiscountError = TrNoop("Ошибка надбавки-скидки");
constexpr const char* kVoidTimeout = TrNoop("Таймаут устройства! Ошибка аннулирования!");
constexpr const char* kVoidError = TrNoop("Ошибка аннулирования");
constexpr const char* kBarcodeLength = TrNoop("Длина штрих-кода не равна 12 символов! Ошибка!");

QLineEdit* NewEdit(QWidget* parent, const char* name, const QString& text = {}) {
  auto* e = new QLineEdit(text, parent);
  e->setObjectName(name);
  return e;
}

}  // namespace

TForm21::TForm21(QWidget* parent) : TaskDialog(parent, "Form21", QTr("Фискальный чек")) {
  auto* layout = new QHBoxLayout(this);
  auto* left = new QVBoxLayout();
  auto* right = new QVBoxLayout();
  layout->addLayout(left, 1);
  layout->addLayout(right, 1);

  // Receipt: password, operator, return flag, display flag.
  auto* head = new QGridLayout();
  Edit1 = NewPasswordEdit("Edit1");
  Edit12 = NewEdit(this, "Edit12", "1");
  head->addWidget(new QLabel(QTr("Пароль:"), this), 0, 0);
  head->addWidget(Edit1, 0, 1);
  head->addWidget(new QLabel(QTr("Номер оператора:"), this), 1, 0);
  head->addWidget(Edit12, 1, 1);
  CheckBox1 = new QCheckBox(QTr("Чек возврата"), this);
  CheckBox1->setObjectName("CheckBox1");
  CheckBox2 = new QCheckBox(QTr("Выводить информацию на дисплей"), this);
  CheckBox2->setObjectName("CheckBox2");
  CheckBox2->setChecked(true);
  head->addWidget(CheckBox1, 2, 0, 1, 2);
  head->addWidget(CheckBox2, 3, 0, 1, 2);
  left->addLayout(head);
  Button1 = NewCommandButton("Button1", QTr("Открыть чек"), &TForm21::Button1Click);
  left->addWidget(Button1);

  // Articles and the sale.
  left->addWidget(new QLabel(QTr("Товары"), this));
  ListBox1 = new QListWidget(this);
  ListBox1->setObjectName("ListBox1");
  left->addWidget(ListBox1, 1);
  Edit3 = NewEdit(this, "Edit3");
  left->addWidget(Edit3);
  auto* sale = new QGridLayout();
  Edit10 = NewEdit(this, "Edit10", "1.000");
  Edit9 = NewEdit(this, "Edit9", "1.00");
  sale->addWidget(new QLabel(QTr("Кол-во:"), this), 0, 0);
  sale->addWidget(Edit10, 0, 1);
  sale->addWidget(new QLabel(QTr("Цена за ед.:"), this), 0, 2);
  sale->addWidget(Edit9, 0, 3);
  left->addLayout(sale);
  Button2 = NewCommandButton("Button2", QTr("Продать"), &TForm21::Button2Click);
  left->addWidget(Button2);

  // Comment, customer display and bar code.
  Edit2 = NewEdit(this, "Edit2", "Comment for printing");
  left->addWidget(Edit2);
  auto* text_row = new QHBoxLayout();
  Button10 = NewCommandButton("Button10", QTr("Печать комментария"), &TForm21::Button10Click);
  ComboBox2 = new QComboBox(this);
  ComboBox2->setObjectName("ComboBox2");
  ComboBox2->addItems(
      {QTr("Очистить"), QTr("Верхняя строка"), QTr("Нижняя строка"), QTr("Дата и время")});
  Button18 = NewCommandButton("Button18", QTr("Вывод на индикатор"), &TForm21::Button18Click);
  text_row->addWidget(Button10);
  text_row->addWidget(ComboBox2);
  text_row->addWidget(Button18);
  left->addLayout(text_row);
  auto* bar_row = new QHBoxLayout();
  Edit11 = NewEdit(this, "Edit11", "012345678901");
  Edit11->setMaxLength(12);
  Button17 = NewCommandButton("Button17", QTr("Штрих-код EAN-13"), &TForm21::Button17Click);
  bar_row->addWidget(Edit11);
  bar_row->addWidget(Button17);
  left->addLayout(bar_row);

  // Discounts and surcharges.
  using Handler = void (TForm21::*)();
  auto discount_box = [this](const char* name, const QString& title, QLineEdit*& value,
                             const char* value_name, QLineEdit*& group, const char* group_name,
                             QPushButton*& item, const char* item_name, Handler item_handler,
                             QPushButton*& subtotal, const char* subtotal_name,
                             Handler subtotal_handler, QPushButton*& tax, const char* tax_name,
                             Handler tax_handler) {
    auto* box = new QGroupBox(title, this);
    box->setObjectName(name);
    auto* grid = new QGridLayout(box);
    value = NewEdit(box, value_name, "-5.00");
    group = NewEdit(box, group_name, "0");
    item = NewCommandButton(item_name, QTr(" на товар"), item_handler);
    subtotal = NewCommandButton(subtotal_name, QTr("на подсумму"), subtotal_handler);
    tax = NewCommandButton(tax_name, QTr("с налоговой группы"), tax_handler);
    grid->addWidget(value, 0, 0);
    grid->addWidget(item, 0, 1);
    grid->addWidget(subtotal, 0, 2);
    grid->addWidget(new QLabel(QTr("Номер \r\nналоговой \r\nгруппы:"), box), 1, 0);
    grid->addWidget(group, 1, 1);
    grid->addWidget(tax, 1, 2);
    return box;
  };
  GroupBox1 = discount_box("GroupBox1", QTr("Скидка процентная"), Edit4, "Edit4", Edit6, "Edit6",
                           Button3, "Button3", &TForm21::Button3Click, Button6, "Button6",
                           &TForm21::Button6Click, Button19, "Button19", &TForm21::Button19Click);
  GroupBox2 = discount_box("GroupBox2", QTr("Скидка абсолютная"), Edit5, "Edit5", Edit15, "Edit15",
                           Button4, "Button4", &TForm21::Button4Click, Button7, "Button7",
                           &TForm21::Button7Click, Button20, "Button20", &TForm21::Button20Click);
  right->addWidget(GroupBox1);
  right->addWidget(GroupBox2);

  // Voids.
  auto* voids = new QGridLayout();
  Button12 = NewCommandButton("Button12", QTr("Аннулирование всего чека"), &TForm21::Button12Click);
  Button5 = NewCommandButton("Button5", QTr("Начало аннулирования"), &TForm21::Button5Click);
  Button14 = NewCommandButton("Button14", QTr("Конец аннулирования"), &TForm21::Button14Click);
  Button15 = NewCommandButton("Button15", QTr("Отмена аннулирования"), &TForm21::Button15Click);
  voids->addWidget(Button12, 0, 0, 1, 3);
  voids->addWidget(Button5, 1, 0);
  voids->addWidget(Button14, 1, 1);
  voids->addWidget(Button15, 1, 2);
  right->addLayout(voids);

  // Total, payment and close.
  auto* total = new QHBoxLayout();
  Button13 = NewCommandButton("Button13", QTr("Печать итога"), &TForm21::Button13Click);
  Label6 = new QLabel(QTr("Сумма по чеку:"), this);
  Label5 = new QLabel(this);
  Label5->setObjectName("Label5");
  Label5->setMinimumWidth(80);
  Label5->setCursor(Qt::PointingHandCursor);
  Label5->installEventFilter(this);
  total->addWidget(Button13);
  total->addWidget(Label6);
  total->addWidget(Label5, 1);
  right->addLayout(total);
  auto* pay = new QHBoxLayout();
  ComboBox1 = new QComboBox(this);
  ComboBox1->setObjectName("ComboBox1");
  ComboBox1->setToolTip(QTr("Номер типа оплаты"));
  Edit8 = NewEdit(this, "Edit8", "0.00");
  Edit8->setToolTip(QTr("Величина оплаты"));
  Button8 = NewCommandButton("Button8", QTr("Оплатить"), &TForm21::Button8Click);
  pay->addWidget(ComboBox1);
  pay->addWidget(Edit8, 1);
  pay->addWidget(Button8);
  right->addLayout(pay);
  CheckBox3 = new QCheckBox(QTr("Использовать указанный идентификатор транзакций"), this);
  CheckBox3->setObjectName("CheckBox3");
  Edit13 = NewEdit(this, "Edit13");
  Edit13->setMaxLength(20);
  CheckBox4 =
      new QCheckBox(QTr("Не выводить дополнительную информацию для банковской карты"), this);
  CheckBox4->setObjectName("CheckBox4");
  right->addWidget(CheckBox3);
  right->addWidget(Edit13);
  right->addWidget(CheckBox4);
  CardStageLabel = new QLabel(this);
  CardStageLabel->setObjectName("CardStageLabel");
  right->addWidget(CardStageLabel);
  Button9 = NewCommandButton("Button9", QTr("Закрыть чек"), &TForm21::Button9Click);
  right->addWidget(Button9);

  // Result of the last command.
  auto* result = new QHBoxLayout();
  Label10 = new QLabel(QTr("Код ошибки:"), this);
  Edit7 = NewErrorCodeBox("Edit7");
  Edit7->setText("0000");
  Button16 = NewStatusButton("Button16");
  Button11 = NewButton("Button11", QTr("Закрыть"), [this] { Button11Click(); });
  result->addWidget(Label10);
  result->addWidget(Edit7);
  result->addWidget(Button16);
  result->addWidget(Button11);
  right->addStretch();
  right->addLayout(result);

  connect(ListBox1, &QListWidget::itemClicked, this, &TForm21::ListBox1Click);
}

bool TForm21::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Label5 && event->type() == QEvent::MouseButtonRelease) {
    Label5Click();
    return true;
  }
  return TaskDialog::eventFilter(watched, event);
}

void TForm21::FormActivate() {
  ListBox1->clear();
  ComboBox1->clear();
  for (int i = 0; i < TheAppState().payment_type_count; ++i)
    ComboBox1->addItem(QString::number(i));
  ComboBox1->setCurrentIndex(0);
  ComboBox2->setCurrentIndex(1);
  if (articles_ == nullptr)
    return;
  if (!articles_->FileLoaded())
    articles_->OpenDialog1Execute();
  for (const std::string& line : articles_->ArticleLines())
    ListBox1->addItem(Q(FromCp1251(line)));
}

void TForm21::ListBox1Click() {
  if (QListWidgetItem* item = ListBox1->currentItem())
    Edit3->setText(item->text());
}

void TForm21::Label5Click() {
  Edit8->setText(Label5->text());
}

bool TForm21::Finish(int code, int builder_result, const ReplyRecord& reply,
                     std::string_view timeout, std::string_view error) {
  return End(code, builder_result, reply,
             ReplyCheck::Fixed(TrText(error)).Timeout(TrText(timeout)));
}

std::optional<std::string> TForm21::Password() {
  std::string password = RegisterText(Edit1);
  if (std::string e = CheckFreeText(password, Tr("Пароль")); !e.empty()) {
    ThePlatform().ShowMessage(e);
    return std::nullopt;
  }
  return password;
}

void TForm21::Button1Click() {
  const auto op = ParseInteger(S(Edit12->text()), INT_MIN, INT_MAX);
  if (!op) {
    ThePlatform().ShowMessage(op.error);
    return;
  }
  const auto pwd = Password();
  if (!pwd)
    return;
  int result = 0;
  const ReplyRecord& reply =
      OpenFiscalReceipt(*pwd, static_cast<int>(*op), 1, CheckBox1->isChecked() ? 1 : 0, result);
  Finish(cmd::kOpenFiscalReceipt, result, reply,
         TrNoop("Таймаут устройства! Ошибка открытия чека!"), TrNoop("Ошибка открытия чека"));
}

void TForm21::Button10Click() {
  const auto pwd = Password();
  if (!pwd)
    return;
  const std::string text = RegisterText(Edit2);
  if (std::string e = CheckFreeText(text, Tr("Комментарий")); !e.empty()) {
    ThePlatform().ShowMessage(e);
    return;
  }
  int result = 0;
  const ReplyRecord& reply = PrintText(*pwd, text, result);
  Finish(cmd::kPrintText, result, reply, TrNoop("Таймаут устройства! Ошибка печати комментария!"),
         TrNoop("Ошибка печати комментария"));
}

void TForm21::Button2Click() {
  const auto sale = sales::PrepareSale(RegisterText(Edit1), RegisterText(Edit3), S(Edit10->text()),
                                       S(Edit9->text()));
  if (!sale) {
    ThePlatform().ShowMessage(sale.error);
    return;
  }
  ShowOutcome(sales::Sell(*sale));
}

void TForm21::Discount(bool percent, int code) {
  const auto value = ParseDecimal(S((percent ? Edit4 : Edit5)->text()), kMoneyDecimals);
  if (!value) {
    ThePlatform().ShowMessage(value.error);
    return;
  }
  std::optional<int> group;
  if (code == cmd::kDiscountTaxGroupPercent || code == cmd::kDiscountTaxGroupAbsolute) {
    const auto g = ParseInteger(S((percent ? Edit6 : Edit15)->text()), INT_MIN, INT_MAX);
    if (!g) {
      ThePlatform().ShowMessage(g.error);
      return;
    }
    group = static_cast<int>(*g);
  }
  const auto pwd = Password();
  if (!pwd)
    return;
  const double v = value->Value();
  int result = 0;
  const ReplyRecord* reply = nullptr;
  switch (code) {
    case cmd::kDiscountItemPercent:
      reply = &DiscountItemPercent(*pwd, v, result);
      break;
    case cmd::kDiscountItemAbsolute:
      reply = &DiscountItemAbsolute(*pwd, v, result);
      break;
    case cmd::kDiscountSubtotalPercent:
      reply = &DiscountSubtotalPercent(*pwd, v, result);
      break;
    case cmd::kDiscountSubtotalAbsolute:
      reply = &DiscountSubtotalAbsolute(*pwd, v, result);
      break;
    case cmd::kDiscountTaxGroupPercent:
      reply = &DiscountTaxGroupPercent(*pwd, v, *group, result);
      break;
    default:
      reply = &DiscountTaxGroupAbsolute(*pwd, v, *group, result);
      break;
  }
  Finish(code, result, *reply, kDiscountTimeout, kDiscountError);
}

void TForm21::Button3Click() {
  Discount(true, cmd::kDiscountItemPercent);
}
void TForm21::Button4Click() {
  Discount(false, cmd::kDiscountItemAbsolute);
}
void TForm21::Button6Click() {
  Discount(true, cmd::kDiscountSubtotalPercent);
}
void TForm21::Button7Click() {
  Discount(false, cmd::kDiscountSubtotalAbsolute);
}
void TForm21::Button19Click() {
  Discount(true, cmd::kDiscountTaxGroupPercent);
}
void TForm21::Button20Click() {
  Discount(false, cmd::kDiscountTaxGroupAbsolute);
}

void TForm21::Void(int mode) {
  const auto pwd = Password();
  if (!pwd)
    return;
  int result = 0;
  const ReplyRecord& reply = VoidReceipt(*pwd, mode, result);
  Finish(cmd::kVoidReceipt, result, reply, kVoidTimeout, kVoidError);
}

void TForm21::Button12Click() {
  Void(0);
}
void TForm21::Button5Click() {
  Void(1);
}
void TForm21::Button14Click() {
  Void(2);
}
void TForm21::Button15Click() {
  Void(3);
}

void TForm21::Button13Click() {
  const auto pwd = Password();
  if (!pwd)
    return;
  int result = 0;
  const ReplyRecord& reply = PrintTotal(*pwd, CheckBox2->isChecked(), result);
  if (Finish(cmd::kPrintTotal, result, reply, TrNoop("Таймаут устройства! Ошибка печати итога!"),
             TrNoop("Ошибка печати итога")))
    Label5->setText(Q(FromCp1251(reply.Field(0))));
}

void TForm21::Button8Click() {
  const auto payment = sales::PreparePayment(S(ComboBox1->currentText()), S(Edit8->text()),
                                             TheAppState().payment_type_count);
  if (!payment) {
    ThePlatform().ShowMessage(payment.error);
    return;
  }
  if (sales::IsCardPayment(TheAppState().el_journal, payment->type)) {
    CardPayment(payment->type);
    return;
  }
  const auto pwd = Password();
  if (!pwd)
    return;
  ShowOutcome(sales::PayDirect(*pwd, *payment));
}

void TForm21::CardPayment(int type) {
  CardPaymentRequest request;
  request.password = RegisterText(Edit1);
  request.payment_type = type;
  request.amount_text = S(Edit8->text());
  request.use_typed_transaction = CheckBox3->isChecked();
  request.transaction_id = RegisterText(Edit13);
  request.no_card_lines = CheckBox4->isChecked();
  request.config_path = TheAppState().config_path;
  request.timings = card_timings;
  const CardPaymentResult result = RunCardPayment(request, *this);
  CardStageLabel->clear();
  if (result.card_payment_reply) {
    Edit7->setText(Q(FromCp1251(result.card_payment_reply->error_code)));
    SetStatusButtonEnabled(true);
  }
}

void TForm21::Button9Click() {
  const auto pwd = Password();
  if (!pwd)
    return;
  int result = 0;
  const ReplyRecord& reply = CloseFiscalReceipt(*pwd, CheckBox2->isChecked() ? 1 : 0, result);
  Finish(cmd::kCloseFiscalReceipt, result, reply,
         TrNoop("Таймаут устройства! Ошибка закрыиия чека!"), TrNoop("Ошибка закрытия чека"));
}

void TForm21::Button17Click() {
  const std::string digits = S(Edit11->text());
  if (Edit11->text().size() != 12) {
    ThePlatform().ShowMessage(Tr(kBarcodeLength));
    return;
  }
  if (digits.find_first_not_of("0123456789") != std::string::npos) {
    ThePlatform().ShowMessage(Tr("Штрих-код EAN-13 состоит только из цифр 0-9! Ошибка!"));
    return;
  }
  int result = 0;
  const ReplyRecord& reply = PrintEAN13Code(sales::kFixedPassword, 50, digits, result);
  EndWithoutStatusButton(cmd::kPrintEAN13Code, result, reply, TrNoop("Штрих-код EAN-13:\n  "));
}

void TForm21::Button18Click() {
  const std::string text = RegisterText(Edit2);
  if (std::string e = CheckFreeText(text, Tr("Текст")); !e.empty()) {
    ThePlatform().ShowMessage(e);
    return;
  }
  int result = 0;
  const ReplyRecord& reply =
      DisplayText(sales::kFixedPassword, text, ComboBox2->currentIndex(), 0, result);
  EndWithoutStatusButton(cmd::kDisplayText, result, reply, TrNoop("Вывод на индикатор:\n  "));
}

void TForm21::EndWithoutStatusButton(int code, int builder_result, const ReplyRecord& reply,
                                     const char* heading) {
  EndCommand(code, builder_result, reply, ReplyCheck::Heading(Tr(heading)),
             [this](const ReplyRecord& r) { Edit7->setText(Q(FromCp1251(r.error_code))); });
}

void TForm21::ShowOutcome(const sales::Outcome& outcome) {
  if (const ReplyRecord* reply = TheAppState().current_reply) {
    Edit7->setText(Q(FromCp1251(reply->error_code)));
    SetStatusButtonEnabled(true);
  }
  if (!outcome.message.empty())
    ThePlatform().ShowMessage(outcome.message);
}

void TForm21::ShowMessage(const std::string& text) {
  ThePlatform().ShowMessage(text);
}

void TForm21::ReplyReceived(const ReplyRecord& reply) {
  TheAppState().current_reply = &reply;
}

void TForm21::StageChanged(CardStage stage) {
  CardStageLabel->setText(Q(CardStageText(stage) + Tr("  (Esc - отмена)")));
}

void TForm21::Button11Click() {
  SetStatusButtonEnabled(false);
  close();
}

}  // namespace tolvanet::ui
