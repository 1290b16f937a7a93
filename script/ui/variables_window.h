// TForm40: the script's variables and their values, beside the monitor window, while it runs.
#pragma once

#include <QDialog>
#include <QPushButton>
#include <QTableWidget>

namespace tolvanet::ui {

class TForm40 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm40(QWidget* parent = nullptr);

  QTableWidget* StringGrid1;  // row 0: headings; row n: variable n (number, name, value)
  QPushButton* Button1;       // Закрыть

  // The text of a cell (empty when there is none).
  QString Cell(int column, int row) const;
  // Back to the headings only (a new run, another file).
  void Clear();
  // `New`: row `number` (from 1) with the number, the name and an empty value.
  void VariableAdded(int number, const QString& name);
  // `Set`: the value cell of row `number`.
  void VariableChanged(int number, const QString& value);
  // "Переменные": headings and row numbers written, the window shown against the right edge
  // of `monitor`, at its top.
  void ShowBeside(QWidget* monitor);

 private:
  void SetCell(int column, int row, const QString& text);
  void WriteHeadings();
};

}  // namespace tolvanet::ui
