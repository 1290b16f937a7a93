// TForm35: void or close the receipt the register has open.
#include "sales/ui/void_close_dialog.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/app_state.h"
#include "app/ui/qt_platform.h"
#include "link/commands.h"
#include "link/engine.h"
#include "sales/receipts.h"

namespace tolvanet::ui {

TForm35::TForm35(QWidget* parent)
    : TaskDialog(parent, "Form35", QTr("Аннулирование и закрытие чека")) {
  // No close box: the window is left with "Выход".
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowMinimizeButtonHint);
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout();
  row->addWidget(new QLabel(QTr("Код ошибки:"), this));
  Edit1 = NewErrorCodeBox("Edit1");
  row->addWidget(Edit1);
  layout->addLayout(row);
  auto* buttons = new QHBoxLayout();
  Button2 = NewCommandButton("Button2", QTr("Закрыть чек"), &TForm35::Button2Click);
  Button3 = NewCommandButton("Button3", QTr("Аннулировать чек"), &TForm35::Button3Click);
  Button4 = NewCommandButton("Button4", QTr("Состояние регистратора"), &TForm35::Button4Click);
  Button1 = NewButton("Button1", QTr("Выход"), [this] { close(); });
  for (QPushButton* b : {Button2, Button3, Button4, Button1})
    buttons->addWidget(b);
  layout->addLayout(buttons);
  StatusBar1 = NewStatusBar(StatusPanel);
  layout->addWidget(StatusBar1);
  resize(520, 120);
}

void TForm35::SetReceiptButtons(bool close, bool void_receipt) {
  SetButtonEnabled(Button2, close);
  SetButtonEnabled(Button3, void_receipt);
}

void TForm35::NoOpenReceipt() {
  StatusPanel->setText(Q(TrText(sales::kNoOpenReceipts)));
  SetReceiptButtons(false, false);
}

void TForm35::FormActivate() {
  RunGuarded([this] { CheckState(); });
}

void TForm35::CheckState() {
  const CommandEnd end = RunStatusCheck(false);
  const ReplyRecord& reply = TheEngine().reply();
  Edit1->setText(Q(reply.error_code));
  if (!end.ok()) {
    // The state is unknown: neither button may act on a guess.
    StatusPanel->clear();
    SetReceiptButtons(false, false);
    return;
  }
  const sales::ReceiptStateView state = sales::ReceiptStateOf(reply.status_bytes[2]);
  StatusPanel->setText(Q(TrText(state.text)));
  SetReceiptButtons(state.close_enabled, state.void_enabled);
}

void TForm35::Button3Click() {
  int rc = 0;
  const ReplyRecord& reply = VoidReceipt(sales::kFixedPassword, 0, rc);
  if (End(cmd::kVoidReceipt, rc, reply,
          ReplyCheck::Fixed(Tr("Ошибка аннулирования"))
              .Timeout(Tr("Таймаут устройства! Ошибка аннулирования!"))))
    NoOpenReceipt();
}

void TForm35::Button2Click() {
  int rc = 0;
  const ReplyRecord& reply = CloseFiscalReceipt(sales::kFixedPassword, 0, rc);
  if (End(cmd::kCloseFiscalReceipt, rc, reply,
          ReplyCheck::Fixed(Tr("Ошибка закрытия чека"))
              .Timeout(Tr("Таймаут устройства! Ошибка закрыиия чека!"))))
    NoOpenReceipt();
}

void TForm35::Button4Click() {
  if (!RunStatusCheck(false).ok())
    return;
  StatusPanel->setText(Q(ModelLine(TheEngine().reply())));
  ShowStatusWindow();
}

}  // namespace tolvanet::ui
