// TForm20: loads an article file into the program's one article list and writes every line of
// it into the register's article base.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <string>
#include <vector>

#include "app/ui/task_dialog.h"
#include "sales/article_file.h"

namespace tolvanet::ui {

class TForm20 : public TaskDialog, private sales::ArticleHost {
  Q_OBJECT
 public:
  explicit TForm20(QWidget* parent = nullptr);

  QPlainTextEdit* Memo1;  // Товары для программирования
  QLineEdit* Edit1;       // Пароль
  QLabel* Label3;         // name of the loaded file; empty: nothing loaded yet
  QPushButton* Button1;   // Загрузить
  QPushButton* Button2;   // Записать в регистратор
  QPushButton* Button3;   // Очистить
  QPushButton* Button4;   // Выход
  QProgressBar* ProgressBar1;
  QStatusBar* StatusBar1;
  QLabel* StatusPanel;  // the status bar's one panel

  // Asks for an article file and loads it into the list; false when the user cancelled or the
  // file could not be read. The fiscal receipt window uses it on its first opening.
  bool OpenDialog1Execute();
  // Loads an article file into the list and shows its name; false (with a message) when it
  // cannot be read.
  bool LoadFile(const std::string& path);
  // The article list as Windows-1251 lines.
  std::vector<std::string> ArticleLines() const;
  bool FileLoaded() const { return !Label3->text().isEmpty(); }

 public slots:
  void Button1Click();
  void Button2Click();
  void Button3Click();

 private:
  // The writing loop's host: the progress bar, the status bar, and Stop (Esc, close box).
  void Progress(int done, int total) override;
  void Notice(const std::string& text) override;
  bool StopRequested() override { return TaskDialog::StopRequested(); }
};

}  // namespace tolvanet::ui
