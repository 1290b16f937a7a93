#include "transfer/ui/firmware_read_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/platform.h"
#include "app/ui/qt_platform.h"
#include "link/translate.h"

namespace tolvanet::ui {

TForm45::TForm45(QWidget* parent) : TransferDialog(parent, "Form45", QTr("Чтение ПО")) {
  Edit2 = NewPasswordEdit("Edit2");
  Edit7 = NewErrorCodeBox("Edit7");
  Edit7->setText("0000");
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName("ProgressBar1");
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);
  Button1 = NewCommandButton("Button1", QTr("Чтение внутреннего ПО"), &TForm45::Button1Click);
  Button3 = NewButton("Button3", QTr("Стоп"), [this] { Button3Click(); });
  Button2 = NewButton("Button2", QTr("Выход"), [this] { Button2Click(); });

  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout();
  grid->addWidget(new QLabel(QTr("Пароль:"), this), 0, 0);
  grid->addWidget(Edit2, 0, 1);
  grid->addWidget(new QLabel(QTr("Код ошибки:"), this), 1, 0);
  grid->addWidget(Edit7, 1, 1);
  layout->addLayout(grid);
  layout->addWidget(ProgressBar1);
  auto* buttons = new QHBoxLayout();
  buttons->addWidget(Button1);
  buttons->addWidget(Button3);
  buttons->addStretch();
  buttons->addWidget(Button2);
  layout->addLayout(buttons);
  resize(420, 160);
}

void TForm45::Button1Click() {
  const auto path = ThePlatform().SaveFile(
      {"", Tr("HEX файлы|*.HEX|Все файлы|*.*"), "HEX", {}, {}, /*own_overwrite_question=*/false});
  if (!path)
    return;
  transfer_.ReadFirmware(RegisterText(Edit2), *path);
  ProgressBar1->setValue(0);
}

void TForm45::ProgressChanged(const transfer::TransferProgress& progress) {
  ShowProgress(ProgressBar1, progress.done, progress.total);
}

void TForm45::Button3Click() {
  RequestStop();
}

void TForm45::Button2Click() {
  close();
}

}  // namespace tolvanet::ui
