// The demo's paper tape window.
#include "app/ui/tape_window.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QVBoxLayout>
#include <fstream>

#include "app/platform.h"
#include "app/ui/qt_platform.h"

namespace tolvanet::ui {

TapeWindow::TapeWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("TapeWindow");
  setWindowTitle(QTr("Чековая лента"));

  Memo1 = new QTextEdit(this);
  Memo1->setObjectName("Memo1");
  Memo1->setReadOnly(true);
  Memo1->setAcceptRichText(false);
  Memo1->setLineWrapMode(QTextEdit::NoWrap);
  Memo1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  Memo1->document()->setDefaultFont(Memo1->font());
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

void TapeWindow::AddDocument(const QStringList& lines, const QString& cut_line,
                             const TapeLogo& logo) {
  QTextCursor cursor(Memo1->document());
  cursor.movePosition(QTextCursor::End);
  cursor.beginEditBlock();
  bool first_block = text_.isEmpty();  // the empty document has its first block already
  auto new_block = [&] {
    if (!first_block)
      cursor.insertBlock();
    first_block = false;
  };
  auto add_line = [&](const QString& line) {
    new_block();
    cursor.insertText(line);
    text_ << line;
  };
  if (!text_.isEmpty()) {
    add_line(QString());
    add_line(cut_line);
  }
  const bool picture = !logo.image.isNull() && logo.lines > 0 && logo.columns > 0;
  for (int i = 0; i < lines.size(); ++i) {
    if (!picture || i != logo.first) {
      add_line(lines[i]);
      continue;
    }
    // The picture in place of the block characters; the text keeps them.
    new_block();
    cursor.insertText(QString(logo.indent, QLatin1Char(' ')));
    QTextImageFormat image;
    image.setName(PictureName(logo));
    cursor.insertImage(image);
    ++pictures_;
    for (int k = 0; k < logo.lines && i + k < lines.size(); ++k)
      text_ << lines[i + k];
    i += logo.lines - 1;
  }
  cursor.endEditBlock();
  Memo1->verticalScrollBar()->setValue(Memo1->verticalScrollBar()->maximum());
}

QString TapeWindow::PictureName(const TapeLogo& logo) {
  // As wide as the characters it stands for, each dot square.
  const int width =
      qRound(QFontMetricsF(Memo1->font()).horizontalAdvance(QLatin1Char('0')) * logo.columns);
  const int height = std::max(1, logo.image.height() * width / std::max(1, logo.image.width()));
  const std::pair<qint64, int> key(logo.image.cacheKey(), width);
  auto found = picture_names_.constFind(key);
  if (found != picture_names_.constEnd())
    return *found;
  const QString name = QStringLiteral("tape-logo:%1").arg(picture_names_.size() + 1);
  const QImage shown =
      logo.image.convertToFormat(QImage::Format_RGB32)
          .scaled(width, height, Qt::IgnoreAspectRatio,
                  width >= logo.image.width() ? Qt::FastTransformation : Qt::SmoothTransformation);
  Memo1->document()->addResource(QTextDocument::ImageResource, QUrl(name), shown);
  picture_names_.insert(key, name);
  return name;
}

QString TapeWindow::Text() const {
  return text_.join(QLatin1Char('\n'));
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
  const std::string text = S(Text()) + (text_.isEmpty() ? "" : "\n");
  out << text;
  out.close();
  if (!out)
    ThePlatform().ShowMessage(Tr("Не удалось записать файл:") + std::string("\n") + *path);
}

void TapeWindow::Button2Click() {
  Memo1->clear();
  text_.clear();
  picture_names_.clear();
  pictures_ = 0;
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
