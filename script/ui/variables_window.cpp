#include "script/ui/variables_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>
#include "app/ui/qt_platform.h"

namespace tolvanet::ui {

TForm40::TForm40(QWidget* parent) : QDialog(parent) {
  setObjectName("Form40");
  setWindowTitle(QTr("Переменные"));
  setModal(false);
  setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);

  auto* layout = new QVBoxLayout(this);
  StringGrid1 = new QTableWidget(1, 4, this);
  StringGrid1->setObjectName("StringGrid1");
  StringGrid1->horizontalHeader()->hide();
  StringGrid1->verticalHeader()->hide();
  StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  const int widths[] = {40, 98, 94, 26};
  for (int c = 0; c < 4; ++c)
    StringGrid1->setColumnWidth(c, widths[c]);
  layout->addWidget(StringGrid1);

  auto* buttons = new QHBoxLayout();
  Button1 = new QPushButton(QTr("Закрыть"), this);
  Button1->setAutoDefault(false);
  buttons->addStretch();
  buttons->addWidget(Button1);
  layout->addLayout(buttons);
  connect(Button1, &QPushButton::clicked, this, &QDialog::close);

  WriteHeadings();
  resize(290, 320);
}

QString TForm40::Cell(int column, int row) const {
  const QTableWidgetItem* item = StringGrid1->item(row, column);
  return item != nullptr ? item->text() : QString();
}

void TForm40::SetCell(int column, int row, const QString& text) {
  QTableWidgetItem* item = StringGrid1->item(row, column);
  if (item == nullptr) {
    StringGrid1->setItem(row, column, new QTableWidgetItem(text));
  } else {
    item->setText(text);
  }
}

void TForm40::WriteHeadings() {
  SetCell(1, 0, QTr("Переменные"));
  SetCell(2, 0, QTr("Значения"));
}

void TForm40::Clear() {
  StringGrid1->setRowCount(1);
  WriteHeadings();
}

void TForm40::VariableAdded(int number, const QString& name) {
  if (number < 1)
    return;
  StringGrid1->setRowCount(number + 1);
  SetCell(0, number, QString::number(number));
  SetCell(1, number, name);
  SetCell(2, number, QString());
}

void TForm40::VariableChanged(int number, const QString& value) {
  if (number < 1 || number >= StringGrid1->rowCount())
    return;
  SetCell(2, number, value);
  StringGrid1->viewport()->repaint();
}

void TForm40::ShowBeside(QWidget* monitor) {
  WriteHeadings();
  for (int row = 1; row < StringGrid1->rowCount(); ++row)
    SetCell(0, row, QString::number(row));
  if (monitor != nullptr) {
    const QRect frame = monitor->frameGeometry();
    move(frame.right() + 1, frame.top());
  }
  show();
  raise();
}

}  // namespace tolvanet::ui
