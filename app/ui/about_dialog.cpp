#include "app/ui/about_dialog.h"

#include <QVBoxLayout>

namespace tolvanet::ui {

TForm3::TForm3(QWidget* parent) : QDialog(parent) {
  setObjectName("Form3");
  setWindowTitle("О программе Tolvan");
  auto* layout = new QVBoxLayout(this);
  Label1 = new QLabel("ПО Tolvanet (вер. 1.73 20.05.2015) (TCP/IP)", this);
  Label2 = new QLabel(
      "Для фискальных регистраторов Украины, подключённых через сервер-ретранслятор TCP/IP", this);
  Label2->setWordWrap(true);
  Button1 = new QPushButton("Закрыть", this);
  layout->addWidget(Label1);
  layout->addWidget(Label2);
  layout->addWidget(Button1, 0, Qt::AlignRight);
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace tolvanet::ui
