#include "app/ui/about_dialog.h"

#include <QVBoxLayout>

#include "app/app_state.h"
#include "app/ui/qt_platform.h"
#include "app/version.h"

namespace tolvanet::ui {

TForm3::TForm3(QWidget* parent) : QDialog(parent) {
  setObjectName("Form3");
  setWindowTitle(QTr("О программе Tolvan"));
  auto* layout = new QVBoxLayout(this);
  Label1 = new QLabel("ПО Tolvanet (вер. 1.73 20.05.2015) (TCP/IP)", this);
  Label2 = new QLabel(
      QTr("Для фискальных регистраторов Украины, подключённых через сервер-ретранслятор TCP/IP"),
      this);
  Label2->setWordWrap(true);
  Label3 = new QLabel(QTr("Версия сборки: %1").arg(Version()), this);
  Label4 = new QLabel(this);
  Label4->setWordWrap(true);
  Label4->setTextInteractionFlags(Qt::TextSelectableByMouse);
  Label5 = new QLabel(QTr("Язык интерфейса: %1").arg(Q(LanguageDisplayName())), this);
  Button1 = new QPushButton(QTr("Закрыть"), this);
  layout->addWidget(Label1);
  layout->addWidget(Label2);
  layout->addWidget(Label3);
  layout->addWidget(Label4);
  layout->addWidget(Label5);
  layout->addWidget(Button1, 0, Qt::AlignRight);
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}

void TForm3::showEvent(QShowEvent* event) {
  // The file can change between openings (the built-in register's demonstration uses its own).
  Label4->setText(QTr("Файл настроек: %1").arg(QString::fromStdString(TheAppState().config_path)));
  QDialog::showEvent(event);
}

}  // namespace tolvanet::ui
