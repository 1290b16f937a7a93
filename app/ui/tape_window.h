// "Чековая лента": the paper tape of the demo's built-in register, beside the main window. It
// shows every document the register prints, newest at the bottom, and can be saved to a text
// file or emptied. It is not one of the register's task windows: it only looks at the paper.
#pragma once

#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QWidget>

class QMainWindow;

namespace tolvanet::ui {

class TapeWindow : public QWidget {
  Q_OBJECT
 public:
  explicit TapeWindow(QWidget* parent = nullptr);

  QPlainTextEdit* Memo1;  // the tape
  QPushButton* Button1;   // "Сохранить…"
  QPushButton* Button2;   // "Очистить"

  // Adds one printed document at the bottom, after `cut_line` when the tape holds one already,
  // and scrolls to it.
  void AddDocument(const QStringList& lines, const QString& cut_line);
  // The whole tape as text, one line each.
  QString Text() const;

  void Button1Click();  // save
  void Button2Click();  // clear

  // Shows the window beside `main` (or brings it back to the front).
  void ShowBeside(QMainWindow* main);

  // Puts the button that reopens the window into the main window's status bar and binds the
  // shortcut Ctrl+Shift+L to it.
  void AddOpener(QMainWindow* main);

 private:
  bool empty_ = true;
};

}  // namespace tolvanet::ui
