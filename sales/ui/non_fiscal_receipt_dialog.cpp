// TForm8: the non-fiscal receipt.
#include "sales/ui/non_fiscal_receipt_dialog.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "app/platform.h"
#include "app/ui/qt_platform.h"
#include "link/codepage.h"
#include "sales/receipts.h"

namespace tolvanet::ui {

TForm8::TForm8(QWidget* parent) : TaskDialog(parent, "Form8", QTr("Нефискальный чек")) {
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout();
  row->addWidget(new QLabel(QTr("Пароль:"), this));
  Edit1 = NewPasswordEdit("Edit1");
  row->addWidget(Edit1);
  row->addStretch();
  layout->addLayout(row);
  layout->addWidget(new QLabel(QTr("Строки для печати в нефискальном чеке:"), this));
  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName("Memo1");
  Memo1->installEventFilter(this);
  layout->addWidget(Memo1, 1);
  auto* buttons = new QHBoxLayout();
  Button2 = NewCommandButton("Button2", QTr("Печать чека:"), &TForm8::Button2Click);
  Button1 = NewButton("Button1", QTr("Закрыть"), [this] { close(); });
  buttons->addStretch();
  buttons->addWidget(Button2);
  buttons->addWidget(Button1);
  layout->addLayout(buttons);
  resize(420, 320);
}

bool TForm8::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Memo1 && event->type() == QEvent::KeyPress)
    Memo1KeyPress(static_cast<QKeyEvent*>(event)->text());
  return TaskDialog::eventFilter(watched, event);
}

void TForm8::Memo1KeyPress(const QString& typed) {
  // The ";" stays in the memo; printing removes it.
  if (typed == ";")
    ThePlatform().Message(Tr("Ввод текста"),
                          Tr("; - недопустимый символ, \n   будет удален при печати чека!"));
}

void TForm8::Button2Click() {
  const sales::Outcome outcome =
      sales::PrintNonFiscalReceipt(RegisterText(Edit1), RegisterLines(Memo1));
  if (!outcome.message.empty())
    ThePlatform().ShowMessage(outcome.message);
}

}  // namespace tolvanet::ui
