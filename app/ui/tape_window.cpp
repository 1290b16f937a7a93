// The demo's paper tape window.
#include "app/ui/tape_window.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QVBoxLayout>
#include <fstream>

#include "app/platform.h"
#include "app/ui/qt_platform.h"

namespace tolvanet::ui {

TapeWindow::TapeWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("TapeWindow");
  setWindowTitle(QTr("Чековая лента"));

  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName("Memo1");
  Memo1->setReadOnly(true);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  // Receipt paper: a warm off-white with black print, whatever the desktop's colours.
  QPalette paper = Memo1->palette();
  paper.setColor(QPalette::Base, QColor(0xFB, 0xF8, 0xEE));
  paper.setColor(QPalette::Text, QColor(0x20, 0x20, 0x20));
  Memo1->setPalette(paper);

  Button1 = new QPushButton(QTr("Сохранить…"), this);
  Button1->setObjectName("Button1");
  Button2 = new QPushButton(QTr("Очистить"), this);
  Button2->setObjectName("Button2");
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Memo1, 1);
  layout->addLayout(buttons);

  // Wide enough for the widest tape (48 characters) and a scroll bar.
  const QFontMetrics metrics(Memo1->font());
  resize(metrics.horizontalAdvance(QString(50, QLatin1Char('0'))) + 60, 640);
}

void TapeWindow::AddDocument(const QStringList& lines, const QString& cut_line) {
  QString text;
  if (!empty_)
    text += QStringLiteral("\n") + cut_line + "\n";
  text += lines.join(QLatin1Char('\n'));
  // appendPlainText starts a paragraph of its own: the text goes after the last line.
  Memo1->appendPlainText(text);
  empty_ = false;
  Memo1->verticalScrollBar()->setValue(Memo1->verticalScrollBar()->maximum());
}

QString TapeWindow::Text() const {
  return Memo1->toPlainText();
}

void TapeWindow::Button1Click() {
  FileDialogOptions options;
  options.title = Tr("Сохранить чековую ленту");
  options.filter = Tr("Текстовые файлы|*.txt|Все файлы|*.*");
  options.default_suffix = "txt";
  options.file_name = "tape.txt";
  const auto path = ThePlatform().SaveFile(options);
  if (!path)
    return;
  std::ofstream out(*path, std::ios::binary | std::ios::trunc);
  const std::string text = S(Text()) + (empty_ ? "" : "\n");
  out << text;
  out.close();
  if (!out)
    ThePlatform().ShowMessage(Tr("Не удалось записать файл:") + std::string("\n") + *path);
}

void TapeWindow::Button2Click() {
  Memo1->clear();
  empty_ = true;
}

void TapeWindow::ShowBeside(QMainWindow* main) {
  if (!isVisible() && main) {
    const QRect frame = main->frameGeometry();
    move(frame.right() + 8, frame.top());
  }
  show();
  raise();
  activateWindow();
}

void TapeWindow::AddOpener(QMainWindow* main) {
  auto* opener = new QPushButton(QTr("Чековая лента"), main);
  opener->setObjectName("TapeOpener");
  opener->setFlat(true);
  opener->setToolTip(QStringLiteral("Ctrl+Shift+L"));
  main->statusBar()->addPermanentWidget(opener);
  connect(opener, &QPushButton::clicked, this, [this, main] { ShowBeside(main); });
  auto* shortcut = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+L")), main);
  shortcut->setContext(Qt::ApplicationShortcut);
  connect(shortcut, &QShortcut::activated, this, [this, main] { ShowBeside(main); });
}

}  // namespace tolvanet::ui
