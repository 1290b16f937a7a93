#include "transfer/ui/fiscal_memory_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <climits>

#include "app/platform.h"
#include "app/ui/qt_platform.h"
#include "link/decimal.h"
#include "link/translate.h"

namespace tolvanet::ui {

namespace {
constexpr const char* kDigitsOnly = TrNoop("Ошибка! Только десятичные цифры!");
}

TForm7::TForm7(QWidget* parent)
    : TransferDialog(parent, "Form7", QTr("Чтение/запись/обнуление фискальной памяти")) {
  // A tool window without a system menu: it is closed with "Закрыть".
  // Esc when idle does nothing; during a transfer it stops it, as "Остановить" does.
  CloseOnlyWithButton();
  auto edit = [this](const char* name, int max_length, bool read_only) {
    auto* e = new QLineEdit(this);
    e->setObjectName(name);
    if (max_length > 0)
      e->setMaxLength(max_length);
    e->setReadOnly(read_only);
    return e;
  };
  Edit3 = NewPasswordEdit("Edit3");
  Edit3->setMaxLength(6);
  Edit4 = edit("Edit4", 10, false);
  Edit5 = edit("Edit5", 9, false);
  Edit7 = edit("Edit7", 0, false);
  Edit7->setText("2");
  Edit6 = edit("Edit6", 0, true);
  Edit1 = NewErrorCodeBox("Edit1");
  Edit2 = edit("Edit2", 0, true);
  Edit8 = edit("Edit8", 0, true);
  CGauge1 = new QProgressBar(this);
  CGauge1->setObjectName("CGauge1");
  CGauge1->setRange(0, 100);
  CGauge1->setValue(0);
  Button3 = NewCommandButton("Button3", QTr("Читать флеш-память"), &TForm7::Button3Click);
  Button4 = NewCommandButton("Button4", QTr("Записать флеш-память"), &TForm7::Button4Click);
  Button2 = NewCommandButton("Button2", QTr("Обнулить флеш-память"), &TForm7::Button2Click);
  Button5 = NewButton("Button5", QTr("Остановить"), [this] { Button5Click(); });
  Button1 = NewButton("Button1", QTr("Закрыть"), [this] { Button1Click(); });
  Button3->setEnabled(false);
  Button4->setEnabled(false);

  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout();
  int row = 0;
  auto add = [&](const char* label, QWidget* w) {
    grid->addWidget(new QLabel(label, this), row, 0);
    grid->addWidget(w, row++, 1);
  };
  add(Tr("Пароль:"), Edit3);
  add(Tr("Адрес начала данных (номер байта):"), Edit4);
  add(Tr("Количество байтов для чтения.записи:"), Edit5);
  add(Tr("Количество повторов при ошибке:"), Edit7);
  add(Tr("Текущий адрес:"), Edit6);
  add(Tr("Результат выполнения:"), Edit1);
  add(Tr("Статус регистратора:"), Edit2);
  add(Tr("Повторов:"), Edit8);
  layout->addLayout(grid);
  layout->addWidget(CGauge1);
  auto* buttons = new QHBoxLayout();
  buttons->addWidget(Button3);
  buttons->addWidget(Button4);
  buttons->addWidget(Button2);
  layout->addLayout(buttons);
  auto* bottom = new QHBoxLayout();
  bottom->addWidget(Button5);
  bottom->addStretch();
  bottom->addWidget(Button1);
  layout->addLayout(bottom);

  connect(Edit4, &QLineEdit::textChanged, this, [this] { Edit4Change(); });
  connect(Edit5, &QLineEdit::textChanged, this, [this] { Edit5Change(); });
  resize(520, 380);
}

void TForm7::FormActivate() {
  SetButtonEnabled(Button3, false);
  SetButtonEnabled(Button4, false);
}

void TForm7::Edit4Change() {
  InputCheck(Edit4);
}

void TForm7::Edit5Change() {
  InputCheck(Edit5);
}

void TForm7::InputCheck(QLineEdit* changed) {
  if (Edit4->text().isEmpty() || Edit5->text().isEmpty()) {
    SetButtonEnabled(Button3, false);
    SetButtonEnabled(Button4, false);
    return;
  }
  if (!transfer::DecimalDigits(S(changed->text()))) {
    ThePlatform().ShowMessage(Tr(kDigitsOnly));
    return;
  }
  SetButtonEnabled(Button3, true);
  SetButtonEnabled(Button4, true);
}

std::optional<transfer::FlashRange> TForm7::Range() {
  const auto start = transfer::DecimalDigits(S(Edit4->text()));
  const auto count = transfer::DecimalDigits(S(Edit5->text()));
  if (!start || !count) {
    ThePlatform().ShowMessage(Tr(kDigitsOnly));
    return std::nullopt;
  }
  transfer::FlashRange range;
  range.password = RegisterText(Edit3);
  range.start = *start;
  range.count = *count;
  return range;
}

void TForm7::Button3Click() {
  const Parsed<std::int64_t> repeats =
      ParseInteger(S(Edit7->text()), INT_MIN, transfer::kMaxRepeats);
  if (!repeats) {
    ThePlatform().ShowMessage(repeats.error);
    return;
  }
  std::optional<transfer::FlashRange> range = Range();
  if (!range)
    return;
  const auto path = ThePlatform().SaveFile({Tr("Чтение данныхт из флеш-памяти в файл"),
                                            Tr("Бинарные файлы (*.bin)|*.BIN|Все файлы (*.*)|*.*"),
                                            "bin",
                                            {},
                                            {},
                                            /*own_overwrite_question=*/true});
  if (!path)
    return;
  range->path = *path;
  Edit8->setText("0");
  transfer_.DumpFlash(*range, static_cast<int>(*repeats));
}

void TForm7::Button4Click() {
  std::optional<transfer::FlashRange> range = Range();
  if (!range)
    return;
  const auto path = ThePlatform().OpenFile({});
  if (!path)
    return;
  range->path = *path;
  transfer_.RestoreFlash(*range);
}

void TForm7::Button2Click() {
  transfer_.EraseFlash(RegisterText(Edit3));
}

void TForm7::Button5Click() {
  RequestStop();
}

void TForm7::Button1Click() {
  close();
}

void TForm7::ProgressChanged(const transfer::TransferProgress& p) {
  Edit6->setText(QString::number(p.address));
  Edit8->setText(QString::number(p.repeats));
  const std::int64_t percent = p.total > 0 ? p.done * 100 / p.total : 0;
  CGauge1->setValue(static_cast<int>(std::clamp<std::int64_t>(percent, 0, 100)));
  RepaintNowAndThen();
}

void TForm7::ReplyReceived(const ReplyRecord& reply) {
  TransferDialog::ReplyReceived(reply);
  if (!reply.NoAnswer())
    Edit2->setText(Q(StatusText(reply)));
}

}  // namespace tolvanet::ui
