// "Чековая лента": the paper tape of the demo's built-in register, beside the main window. It
// shows every document the register prints, newest at the bottom, and can be saved to a text
// file or emptied. It is not one of the register's task windows: it only looks at the paper.
#pragma once

#include <QHash>
#include <QImage>
#include <QPushButton>
#include <QStringList>
#include <QTextEdit>
#include <QWidget>
#include <utility>

class QMainWindow;

namespace tolvanet::ui {

// The user's logo where a document printed it: its lines `first` .. `first + lines - 1` draw
// it with block characters; the window shows `image` (one bit per dot) there instead, as wide
// as those characters (`columns`, after `indent` blanks).
struct TapeLogo {
  int first = 0;
  int lines = 0;
  int indent = 0;
  int columns = 0;
  QImage image;
};

class TapeWindow : public QWidget {
  Q_OBJECT
 public:
  explicit TapeWindow(QWidget* parent = nullptr);

  QTextEdit* Memo1;      // the tape
  QPushButton* Button1;  // "Сохранить…"
  QPushButton* Button2;  // "Очистить"

  // Adds one printed document at the bottom, after `cut_line` when the tape holds one already,
  // and scrolls to it.
  void AddDocument(const QStringList& lines, const QString& cut_line, const TapeLogo& logo = {});
  // The whole tape as text, one line each (the logo in block characters).
  QString Text() const;
  // Pictures shown on the tape.
  int PictureCount() const { return pictures_; }

  void Button1Click();  // save
  void Button2Click();  // clear

  // Shows the window beside `main` (or brings it back to the front).
  void ShowBeside(QMainWindow* main);

  // Puts the button that reopens the window into the main window's status bar and binds the
  // shortcut Ctrl+Shift+L to it.
  void AddOpener(QMainWindow* main);

 private:
  // The name under which the document holds the picture of `logo`, added at the first use.
  QString PictureName(const TapeLogo& logo);

  QStringList text_;
  int pictures_ = 0;
  QHash<std::pair<qint64, int>, QString> picture_names_;  // by image (cache key) and width
};

}  // namespace tolvanet::ui
