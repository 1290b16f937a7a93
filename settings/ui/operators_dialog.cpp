#include "settings/ui/operators_dialog.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <climits>

#include "app/ui/qt_platform.h"
#include "link/commands.h"
#include "link/translate.h"

namespace tolvanet::ui {

namespace {

// The sales flag is shown, never typed.
class SalesFlag : public FieldBinder {
 public:
  explicit SalesFlag(QCheckBox* box) : FieldBinder(Tr("Выполнялись продажи")), box_(box) {}
  bool Load(const std::string& field) override {
    box_->setChecked(field == "1");
    return true;
  }

 private:
  QCheckBox* box_;
};

}  // namespace

TForm12::TForm12(QWidget* parent) : ReadWriteForm(parent, "Form12", QTr("Параметры операторов")) {
  Edit4 = NewPasswordEdit("Edit4");
  Edit5 = new QLineEdit(this);
  Edit2 = new QLineEdit(this);
  Edit1 = new QLineEdit(kDefaultPassword, this);
  Edit3 = new QLineEdit(this);
  Edit3->setReadOnly(true);
  CheckBox1 = new QCheckBox(QTr("Выполнялись продажи"), this);
  CheckBox1->setAttribute(Qt::WA_TransparentForMouseEvents);
  CheckBox1->setFocusPolicy(Qt::NoFocus);

  auto* pwd = BindPassword(Edit4);
  auto* number = Bind<IntegerField>(Edit5, Tr("Номер оператора"), INT_MIN, INT_MAX,
                                    Tr("Ошибка! Номер оператора неверный."));
  auto* name = Bind<TextField>(Edit2, Tr("Имя"), 20);
  auto* op_pwd = Bind<TextField>(Edit1, Tr("Пароль оператора"), 6);
  auto* read_name = Bind<TextField>(Edit3, Tr("Имя"), 20);
  auto* sales = Bind<SalesFlag>(CheckBox1);
  auto heading = [number] {
    return ReplyCheck::Heading(TrArgs(Tr("Оператор %1 \n  "), {number->Text()}));
  };

  // The number comes first: a bad number is reported before anything else.
  Button1 = NewCommandButton("Button1", QTr("Установить"), [=, this] {
    Run({{number, pwd, op_pwd, name},
         [=](int& rc) -> const ReplyRecord& {
           return SetOperatorParams(pwd->Value(), number->Value(), op_pwd->Value(), name->Value(),
                                    rc);
         },
         cmd::kSetOperatorParams,
         heading()});
  });
  Button2 = NewCommandButton("Button2", QTr("Прочитать"), [=, this] {
    Run({{number, pwd},
         [=](int& rc) -> const ReplyRecord& {
           return GetOperatorParams(pwd->Value(), number->Value(), rc);
         },
         cmd::kGetOperatorParams,
         heading(),
         {{1, read_name}, {0, sales}}});
  });
  Button3 = NewCommandButton("Button3", QTr("Удалить оператора"), [=, this] {
    Run({{number, pwd},
         [=](int& rc) -> const ReplyRecord& {
           return ClearOpetratorPsw(pwd->Value(), number->Value(), rc);
         },
         cmd::kClearOpetratorPsw,
         heading()});
  });
  Button4 = NewButton("Button4", QTr("Закрыть"), [this] { accept(); });

  auto* top = new QFormLayout;
  top->addRow(QTr("Пароль:"), Edit4);
  top->addRow(QTr("Номер оператора:"), Edit5);
  auto* set_box = new QGroupBox(QTr("Установить параметры оператора"), this);
  auto* set_form = new QFormLayout(set_box);
  set_form->addRow(QTr("Имя:"), Edit2);
  set_form->addRow(QTr("Пароль оператора:"), Edit1);
  set_form->addRow(Button1);
  auto* read_box = new QGroupBox(QTr("Прочитать параметры оператора"), this);
  auto* read_form = new QFormLayout(read_box);
  read_form->addRow(QTr("Имя:"), Edit3);
  read_form->addRow(CheckBox1);
  read_form->addRow(Button2);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Button3);
  buttons->addStretch();
  buttons->addWidget(Button4);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(set_box);
  layout->addWidget(read_box);
  layout->addLayout(buttons);
}

}  // namespace tolvanet::ui
