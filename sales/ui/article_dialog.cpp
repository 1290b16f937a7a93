// TForm20: the article list and its writing into the register.
#include "sales/ui/article_dialog.h"

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>

#include "app/platform.h"
#include "app/ui/qt_platform.h"
#include "link/codepage.h"

namespace tolvanet::ui {

namespace {
constexpr const char* kFilter = TrNoop("Product filse -  ART|*.ART|AllFiles (*.*)|*.*");
}

TForm20::TForm20(QWidget* parent)
    : TaskDialog(parent, "Form20", QTr("Загрузка артикулов в регистратор")) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QTr("Товары для программирования"), this));
  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName("Memo1");
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  layout->addWidget(Memo1, 1);

  auto* row = new QHBoxLayout();
  row->addWidget(new QLabel(QTr("Пароль: "), this));
  Edit1 = NewPasswordEdit("Edit1");
  row->addWidget(Edit1);
  Label3 = new QLabel(this);
  Label3->setObjectName("Label3");
  row->addWidget(Label3, 1);
  layout->addLayout(row);

  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName("ProgressBar1");
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);
  layout->addWidget(ProgressBar1);

  auto* buttons = new QHBoxLayout();
  Button1 = NewButton("Button1", QTr("Загрузить"), [this] { Button1Click(); });
  Button2 = NewCommandButton("Button2", QTr("Записать в регистратор"), &TForm20::Button2Click);
  Button3 = NewButton("Button3", QTr("Очистить"), [this] { Button3Click(); });
  Button4 = NewButton("Button4", QTr("Выход"), [this] { close(); });
  for (QPushButton* b : {Button1, Button2, Button3, Button4})
    buttons->addWidget(b);
  layout->addLayout(buttons);

  StatusBar1 = NewStatusBar(StatusPanel);
  layout->addWidget(StatusBar1);
  resize(560, 420);
}

bool TForm20::OpenDialog1Execute() {
  FileDialogOptions options;
  options.title = Tr("Загрузить");
  options.filter = Tr(kFilter);
  options.default_suffix = "ART";
  options.file_name = "*.art";
  const std::optional<std::string> path = ThePlatform().OpenFile(options);
  return path && LoadFile(*path);
}

bool TForm20::LoadFile(const std::string& path) {
  std::vector<std::string> lines;
  std::string error;
  if (!sales::LoadArticleFile(path, lines, error)) {
    ThePlatform().ShowMessage(error);
    return false;
  }
  QStringList text;
  for (const std::string& line : lines)
    text << Q(FromCp1251(line));
  Memo1->setPlainText(text.join('\n'));
  Label3->setText(Q(path));
  return true;
}

std::vector<std::string> TForm20::ArticleLines() const {
  return RegisterLines(Memo1);
}

void TForm20::Button1Click() {
  if (!Busy())
    OpenDialog1Execute();
}

void TForm20::Button2Click() {
  const sales::ArticleWriteRun run =
      sales::WriteArticles(RegisterText(Edit1), ArticleLines(), *this);
  if (!run.error.empty()) {
    ThePlatform().ShowMessage(run.error);
    return;
  }
  if (const std::string skipped = sales::SkippedLinesMessage(run.result); !skipped.empty())
    ThePlatform().ShowMessage(skipped);
  if (run.result.stopped) {
    StatusPanel->setText(QTr("Запись остановлена"));
    return;
  }
  ThePlatform().ShowMessage(TrText(sales::kArticlesDone));
}

void TForm20::Button3Click() {
  if (!Busy())
    Memo1->clear();
}

void TForm20::Progress(int done, int total) {
  ProgressBar1->setRange(0, std::max(total, 1));
  ProgressBar1->setValue(done);
  KeepGoing();  // repaints, and lets Esc or the close box ask for Stop
}

void TForm20::Notice(const std::string& text) {
  StatusPanel->setText(Q(text));
}

}  // namespace tolvanet::ui
