#include "transfer/ui/logo_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QPixmap>
#include <QVBoxLayout>
#include <climits>

#include "app/platform.h"
#include "app/ui/qt_platform.h"
#include "link/decimal.h"
#include "link/translate.h"

namespace tolvanet::ui {

namespace {
constexpr const char* kUnknown = TrNoop("неизвестно");
}

TForm6::TForm6(QWidget* parent)
    : TransferDialog(parent, "Form6", QTr("Программирования логотипа")) {
  // A tool window without a close box: it is closed with "Закрыть".
  // Esc when idle does nothing; while the logo is sent it stops it.
  CloseOnlyWithButton();
  auto label = [this](const char* name) {
    auto* l = new QLabel(this);
    l->setObjectName(name);
    return l;
  };
  Edit1 = NewPasswordEdit("Edit1");
  Edit1->setMaxLength(6);
  Label5 = label("Label5");
  Label6 = label("Label6");
  Label9 = label("Label9");
  Label10 = label("Label10");
  Edit2 = new QLineEdit(this);
  Edit2->setObjectName("Edit2");
  Edit3 = new QLineEdit(this);
  Edit3->setObjectName("Edit3");
  GroupBox1 = new QGroupBox(QTr("Вид логотипа"), this);
  GroupBox1->setObjectName("GroupBox1");
  Image1 = new QLabel(GroupBox1);
  Image1->setObjectName("Image1");
  Image1->setMinimumSize(200, 80);
  Image1->setAlignment(Qt::AlignCenter);
  auto* image_layout = new QVBoxLayout(GroupBox1);
  image_layout->addWidget(Image1);
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName("ProgressBar1");
  ProgressBar1->setValue(0);
  Button2 = NewCommandButton("Button2", QTr("Открыть"), &TForm6::Button2Click);
  Button3 = NewCommandButton("Button3", QTr("Программировать"), &TForm6::Button3Click);
  Button3->setEnabled(false);
  Button1 = NewButton("Button1", QTr("Закрыть"), [this] { Button1Click(); });

  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout();
  int row = 0;
  auto add = [&](const char* text, QWidget* w) {
    grid->addWidget(new QLabel(text, this), row, 0);
    grid->addWidget(w, row++, 1);
  };
  add(Tr("Пароль для программирования:"), Edit1);
  add(Tr("Максимальный размер логотипа (по X, в пикселях):"), Label5);
  add(Tr("Максимальный размер логотипа (по Y, в пикселях):"), Label6);
  add(Tr("Размер рисунка (по X, в пикселях):"), Label9);
  add(Tr("Размер рисунка (по Y, в пикселях):"), Label10);
  add(Tr("Размер для загрузки (по X):"), Edit2);
  add(Tr("Размер для загрузки (по Y):"), Edit3);
  layout->addLayout(grid);
  layout->addWidget(GroupBox1, 1);
  layout->addWidget(ProgressBar1);
  auto* buttons = new QHBoxLayout();
  buttons->addWidget(Button2);
  buttons->addWidget(Button3);
  buttons->addStretch();
  buttons->addWidget(Button1);
  layout->addLayout(buttons);
  resize(520, 420);
}

void TForm6::FormActivate() {
  RunGuarded([this] {
    // After a failed command the labels keep what they showed.
    const std::optional<transfer::LogoLimits> limits =
        transfer_.ReadLogoLimits(RegisterText(Edit1));
    if (!limits)
      return;
    limits_ = *limits;
    Label5->setText(limits_.known() ? QString::number(limits_.max_width) : QTr(kUnknown));
    Label6->setText(limits_.known() ? QString::number(limits_.max_height) : QTr(kUnknown));
  });
}

QImage TForm6::ImageOf(const transfer::Picture& picture) {
  QImage image(picture.width, picture.height, QImage::Format_RGB32);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x)
      image.setPixel(x, y, 0xFF000000u | picture.At(x, y));
  }
  return image;
}

void TForm6::Button2Click() {
  const auto path = ThePlatform().OpenFile({"", Tr("BMP файл|*.BMP"), {}, {}, {}, false});
  if (!path)
    return;
  // The same reader as the terminal tool's: a file gives the same logo in both, or is refused
  // by both.
  std::string error;
  std::optional<transfer::Picture> picture = transfer::ReadBmp(*path, &error);
  if (!picture) {
    // Picture, labels and button stay as they were.
    ThePlatform().ShowMessage(
        TrArgs(Tr("Не удалось прочитать рисунок BMP: %1 (%2)"), {*path, error}));
    return;
  }
  picture_ = std::move(*picture);
  Image1->setPixmap(QPixmap::fromImage(ImageOf(picture_)));
  SetButtonEnabled(Button3, true);
  Label9->setText(QString::number(picture_.width));
  Label10->setText(QString::number(picture_.height));
  const int width = limits_.known() ? std::min(picture_.width, limits_.max_width) : picture_.width;
  const int height =
      limits_.known() ? std::min(picture_.height, limits_.max_height) : picture_.height;
  Edit2->setText(QString::number(width));
  Edit3->setText(QString::number(height));
}

void TForm6::Button3Click() {
  const Parsed<std::int64_t> width = ParseInteger(S(Edit2->text()), INT_MIN, INT_MAX);
  if (!width) {
    ThePlatform().ShowMessage(width.error);
    return;
  }
  const Parsed<std::int64_t> height = ParseInteger(S(Edit3->text()), INT_MIN, INT_MAX);
  if (!height) {
    ThePlatform().ShowMessage(height.error);
    return;
  }
  transfer_.ProgramLogo(RegisterText(Edit1), picture_, static_cast<int>(*width),
                        static_cast<int>(*height), limits_);
  ProgressBar1->setValue(0);
}

void TForm6::ProgressChanged(const transfer::TransferProgress& progress) {
  ShowProgress(ProgressBar1, progress.done, progress.total);
  RepaintNowAndThen();
}

void TForm6::Button1Click() {
  close();
}

}  // namespace tolvanet::ui
