#include "reports/ui/free_resources_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/ui/qt_platform.h"
#include "link/codepage.h"

namespace tolvanet::ui {

TForm10::TForm10(QWidget* parent)
    : ReportDialog(parent, "Form10", QTr("Информация о свободных ресурсах и статусе")) {
  Edit1 = NewPasswordEdit("Edit1");
  Panel1 = new QGroupBox(this);
  Panel1->setObjectName("Panel1");
  // Read-only, but drawn in full colour so that the answer can be read at a glance.
  Panel1->setAttribute(Qt::WA_TransparentForMouseEvents);
  Panel1->setFocusPolicy(Qt::NoFocus);
  auto* panel = new QFormLayout(Panel1);
  const auto& items = reports::FreeResourceItems();
  for (int i = 0; i < 6; ++i) {
    auto* box = new QCheckBox(Q(TrText(items[i].caption)), Panel1);
    box->setObjectName(QString("CheckBox%1").arg(i + 1));
    box->setFocusPolicy(Qt::NoFocus);
    panel->addRow(box);
    check_boxes_[i] = box;
  }
  for (int i = 0; i < 6; ++i) {
    auto* edit = new QLineEdit(Panel1);
    edit->setObjectName(QString("Edit%1").arg(i + 2));
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
    panel->addRow(Q(TrText(items[6 + i].caption)), edit);
    edits_[i] = edit;
  }
  CheckBox1 = check_boxes_[0];
  CheckBox2 = check_boxes_[1];
  CheckBox3 = check_boxes_[2];
  CheckBox4 = check_boxes_[3];
  CheckBox5 = check_boxes_[4];
  CheckBox6 = check_boxes_[5];
  Edit2 = edits_[0];
  Edit3 = edits_[1];
  Edit4 = edits_[2];
  Edit5 = edits_[3];
  Edit6 = edits_[4];
  Edit7 = edits_[5];

  Edit8 = NewErrorCodeBox("Edit8");
  Button1 = NewCommandButton("Button1", QTr("Сделать отчет"), &TForm10::Button1Click);
  Button4 = NewStatusButton("Button4");
  Button2 = NewButton("Button2", QTr("Закрыть"), [this] { accept(); });

  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout();
  form->addRow(QTr("Пароль:"), Edit1);
  layout->addLayout(form);
  layout->addWidget(Panel1);
  auto* code = new QFormLayout();
  code->addRow(QTr("Код ошибки:"), Edit8);
  layout->addLayout(code);
  auto* buttons = new QHBoxLayout();
  buttons->addWidget(Button1);
  buttons->addWidget(Button4);
  buttons->addWidget(Button2);
  layout->addLayout(buttons);
}

void TForm10::FormActivate() {
  Edit8->clear();
  SetStatusButtonEnabled(false);
}

void TForm10::Button1Click() {
  SetStatusButtonEnabled(true);
  Edit8->clear();
  reports::FreeResources res;
  const reports::ReportOutcome out = reports::FreeResourcesReport(RegisterText(Edit1), res);
  if (out.ok) {
    // A short answer leaves the missing fields empty.
    for (int i = 0; i < 6; ++i)
      check_boxes_[i]->setChecked(res.Permission(i));
    for (int i = 0; i < 6; ++i)
      edits_[i]->setText(Q(FromCp1251(res.fields[6 + i])));
  }
  ShowOutcome(out);
}

}  // namespace tolvanet::ui
