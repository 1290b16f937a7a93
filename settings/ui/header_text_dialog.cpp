#include "settings/ui/header_text_dialog.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include "app/platform.h"
#include "app/ui/qt_platform.h"
#include "link/codepage.h"
#include "link/commands.h"
#include "link/decimal.h"
#include "link/free_text.h"
#include "link/translate.h"

namespace tolvanet::ui {

namespace {

constexpr int kTextColumn = 1;
constexpr int kParamColumn = 2;
constexpr int kCentreColumn = 3;

QTableWidget* NewGrid(QWidget* parent, const char* name, int rows) {
  auto* grid = new QTableWidget(rows, 4, parent);
  grid->setObjectName(name);
  grid->setHorizontalHeaderLabels({Tr("Номер"), Tr("        Текст"), Tr("Параметры"), ""});
  grid->verticalHeader()->hide();
  grid->setColumnWidth(0, 64);
  grid->setColumnWidth(kTextColumn, 277);
  grid->setColumnWidth(kParamColumn, 163);
  grid->setColumnWidth(kCentreColumn, 120);
  // Every row and column in view: the grids are small and fixed.
  grid->verticalHeader()->setDefaultSectionSize(24);
  grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid->setMinimumSize(
      64 + 277 + 163 + 120 + 2 * grid->frameWidth(),
      grid->horizontalHeader()->sizeHint().height() + rows * 24 + 2 * grid->frameWidth());
  grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                        QAbstractItemView::AnyKeyPressed);
  for (int r = 0; r < rows; ++r) {
    auto* number = new QTableWidgetItem;
    number->setFlags(number->flags() & ~Qt::ItemIsEditable);
    grid->setItem(r, 0, number);
    grid->setItem(r, kTextColumn, new QTableWidgetItem);
    auto* param = new QTableWidgetItem;
    param->setFlags(param->flags() & ~Qt::ItemIsEditable);
    grid->setItem(r, kParamColumn, param);
  }
  return grid;
}

LineWidth WidthOfCell(const QTableWidget* grid, int row) {
  const std::string text = S(grid->item(row, kParamColumn)->text());
  for (LineWidth w : {LineWidth::kSingle, LineWidth::kDouble}) {
    if (text == TrText(LineWidthText(w)))
      return w;
  }
  return LineWidth::kSkip;
}

void SetWidthCell(QTableWidget* grid, int row, LineWidth width) {
  grid->item(row, kParamColumn)->setText(Q(TrText(LineWidthText(width))));
}

}  // namespace

TForm11::TForm11(QWidget* parent)
    : ReadWriteForm(parent, "Form11", QTr("Заголовок и рекламный текст")) {
  StringGrid1 = NewGrid(this, "StringGrid1", kHeaderRows);
  StringGrid2 = NewGrid(this, "StringGrid2", kAdvertisingRows);
  auto centre_boxes = [](QTableWidget* grid, auto& boxes, int first_number) {
    for (std::size_t r = 0; r < boxes.size(); ++r) {
      boxes[r] = new QCheckBox(QTr("центрировать"), grid);
      boxes[r]->setObjectName(QString("CheckBox%1").arg(first_number + static_cast<int>(r)));
      grid->setCellWidget(static_cast<int>(r), kCentreColumn, boxes[r]);
    }
  };
  centre_boxes(StringGrid1, HeaderCentre, 2);
  centre_boxes(StringGrid2, AdvertisingCentre, 12);
  for (QTableWidget* grid : {StringGrid1, StringGrid2}) {
    connect(grid, &QTableWidget::cellClicked, this,
            [this, grid](int row, int column) { StringGridSelectCell(grid, row, column); });
  }

  ComboBox1 = new QComboBox(this);
  for (int i = 0; i < kHeaderOperations; ++i)
    ComboBox1->addItem(Q(TrText(HeaderOperationText(i))));
  ComboBox1->setCurrentIndex(-1);
  CheckBox1 = new QCheckBox(QTr("Записать  только непустые поля "), this);
  Edit1 = NewPasswordEdit("Edit1");
  Edit2 = new QLineEdit("40", this);
  ComboBox2 = new QComboBox(this);
  ComboBox2->addItems({"32", "40", "42", "48"});
  ComboBox2->setCurrentIndex(1);
  ComboBox2->hide();

  Button2 = NewCommandButton("Button2", QTr("Выполнить"), &TForm11::Button2Click);
  auto clear_texts = [](QTableWidget* grid) {
    for (int r = 0; r < grid->rowCount(); ++r)
      grid->item(r, kTextColumn)->setText(QString());
  };
  auto check_all = [](auto& boxes, bool on) {
    for (QCheckBox* box : boxes)
      box->setChecked(on);
  };
  Button3 = NewButton("Button3", QTr("Очистить"), [=, this] { clear_texts(StringGrid1); });
  Button4 = NewButton("Button4", QTr("Очистить"), [=, this] { clear_texts(StringGrid2); });
  Button5 = NewButton("Button5", QTr("Центрировать заголовок чека"),
                      [=, this] { check_all(HeaderCentre, true); });
  Button6 = NewButton("Button6", QTr("Отменить центрирование"),
                      [=, this] { check_all(HeaderCentre, false); });
  Button8 = NewButton("Button8", QTr("Центрировать рекламный текст"),
                      [=, this] { check_all(AdvertisingCentre, true); });
  Button7 = NewButton("Button7", QTr("Отменить центрирование"),
                      [=, this] { check_all(AdvertisingCentre, false); });
  Button1 = NewButton("Button1", QTr("Закрыть"), [this] { accept(); });
  connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TForm11::ComboBox1Change);
  ComboBox1Change();

  auto grid_box = [this](const char* title, QTableWidget* grid, QPushButton* clear,
                         QPushButton* centre, QPushButton* uncentre) {
    auto* box = new QGroupBox(title, this);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(grid);
    auto* row = new QHBoxLayout;
    row->addWidget(clear);
    row->addWidget(centre);
    row->addWidget(uncentre);
    row->addStretch();
    layout->addLayout(row);
    return box;
  };
  auto* form = new QFormLayout;
  form->addRow(QTr("Пароль:"), Edit1);
  auto* width = new QHBoxLayout;
  width->addWidget(Edit2);
  width->addWidget(ComboBox2);
  form->addRow(QTr("Ширина ленты (симв.):"), width);
  form->addRow(ComboBox1);
  form->addRow(CheckBox1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Button2);
  buttons->addStretch();
  buttons->addWidget(Button1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(grid_box(Tr("Заголовок чека"), StringGrid1, Button3, Button5, Button6), 3);
  layout->addWidget(grid_box(Tr("Рекламный текст"), StringGrid2, Button4, Button8, Button7), 2);
  layout->addLayout(form);
  layout->addLayout(buttons);
  resize(700, 760);
}

void TForm11::ResetTapeWidth() {
  Edit2->setText("40");
  Edit2->show();
  ComboBox2->hide();
}

void TForm11::FormActivate() {
  for (QTableWidget* grid : {StringGrid1, StringGrid2}) {
    for (int r = 0; r < grid->rowCount(); ++r) {
      grid->item(r, 0)->setText(QString::number(r));
      SetWidthCell(grid, r, LineWidth::kSkip);
    }
  }
}

void TForm11::ComboBox1Change() {
  const int op = ComboBox1->currentIndex();
  SetButtonEnabled(Button2, op >= 0);
  CheckBox1->setEnabled(op >= 0 && UsesOnlyNonEmpty(static_cast<HeaderOperation>(op)));
}

void TForm11::StringGridSelectCell(QTableWidget* grid, int row, int column) {
  if (column == kParamColumn)
    SetWidthCell(grid, row, NextLineWidth(WidthOfCell(grid, row)));
}

HeaderInputs TForm11::Inputs() const {
  HeaderInputs in;
  auto rows = [](const QTableWidget* grid, const auto& boxes, auto& out) {
    for (std::size_t r = 0; r < out.size(); ++r) {
      const int row = static_cast<int>(r);
      out[r] = {ToCp1251(S(grid->item(row, kTextColumn)->text())), WidthOfCell(grid, row),
                boxes[r]->isChecked()};
    }
  };
  rows(StringGrid1, HeaderCentre, in.header);
  rows(StringGrid2, AdvertisingCentre, in.advertising);
  in.only_non_empty = CheckBox1->isEnabled() && CheckBox1->isChecked();
  return in;
}

void TForm11::ShowRead(const HeaderStep& step, const ReplyRecord& reply) {
  QTableWidget* grid = step.advertising ? StringGrid2 : StringGrid1;
  grid->item(step.row, kTextColumn)->setText(Q(FromCp1251(reply.Field(0))));
  if (auto width = WidthFromAnswer(reply.Field(1)))
    SetWidthCell(grid, step.row, *width);
}

void TForm11::Button2Click() {
  const int index = ComboBox1->currentIndex();
  if (index < 0 || index >= kHeaderOperations)
    return;
  const auto op = static_cast<HeaderOperation>(index);
  const std::string password = RegisterText(Edit1);
  if (const std::string refusal = CheckFreeText(password, Tr("Пароль")); !refusal.empty()) {
    ThePlatform().ShowMessage(refusal);
    return;
  }
  HeaderInputs in = Inputs();
  if (UsesOnlyNonEmpty(op)) {
    // The width in use: the edit box, or the list while the edit box is hidden.
    const QString width_text = Edit2->isHidden() ? ComboBox2->currentText() : Edit2->text();
    auto width = ParseInteger(S(width_text), 1, 255);
    if (!width) {
      ThePlatform().ShowMessage(Tr("Ширина ленты (симв.): ") + width.error);
      return;
    }
    in.width = static_cast<int>(*width);
  }
  const std::vector<HeaderStep> steps = PlanHeaderOperation(op, in);
  if (const HeaderStep* bad = FirstRefusedText(steps)) {
    ThePlatform().ShowMessage(HeaderFailureHeading(*bad, op) +
                              CheckFreeText(bad->text, Tr("        Текст")));
    return;
  }
  for (const HeaderStep& step : steps) {
    const auto check = ReplyCheck::Heading(HeaderFailureHeading(step, op));
    int rc = 0;
    if (step.read) {
      const ReplyRecord& reply = GetHeaderFooter(password, step.line, rc);
      if (!End(cmd::kGetHeaderFooter, rc, reply, check))
        return;
      ShowRead(step, reply);
    } else {
      const ReplyRecord& reply = SetHeaderFooter(password, step.line, step.text, step.flag, rc);
      if (!End(cmd::kSetHeaderFooter, rc, reply, check))
        return;
    }
    if (!KeepGoing())
      return;
  }
  ThePlatform().ShowMessage(TrText(kSuccessMessage));
}

}  // namespace tolvanet::ui
