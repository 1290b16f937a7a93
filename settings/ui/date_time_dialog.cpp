#include "settings/ui/date_time_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/ui/qt_platform.h"
#include "link/commands.h"
#include "link/translate.h"

namespace tolvanet::ui {

namespace {

// The time box: four digits HHMM.
class TimeField : public FieldBinder {
 public:
  explicit TimeField(QLineEdit* edit) : FieldBinder(Tr("Время (HHMM)")), edit_(edit) {
    edit_->setMaxLength(4);
  }
  bool Load(const std::string& field) override {
    edit_->setText(Q(field));
    return true;
  }
  std::string Check() const override {
    return IsHhmm(Value()) ? std::string()
                           : TrArgs(Tr("Ошибка! Время (HHMM) неверное: \"%1\"."), {Value()});
  }
  std::string Value() const { return S(edit_->text()); }

 private:
  QLineEdit* edit_;
};

}  // namespace

TForm27::TForm27(QWidget* parent) : ReadWriteForm(parent, "Form27", QTr("Дата и время")) {
  DateTimePicker1 = new QDateEdit(this);
  DateTimePicker1->setObjectName("DateTimePicker1");
  DateTimePicker1->setCalendarPopup(true);
  Edit2 = new QLineEdit(this);
  Edit3 = NewPasswordEdit("Edit3");
  auto* pwd = BindPassword(Edit3);
  date_ = Bind<DateField>(DateTimePicker1, Tr("Дата (DDMMYY)"));
  auto* time = Bind<TimeField>(Edit2);
  DateField* date = date_;

  Button1 = NewActionButton("Button1", QTr("Установить дату и время"),
                            {{pwd, time},
                             [=](int& rc) -> const ReplyRecord& {
                               return SetDateTime(pwd->Value(), date->Value(), time->Value(), rc);
                             },
                             cmd::kSetDateTime,
                             ReplyCheck::Fixed(Tr("Ошибка установки времени!"))});
  Button2 =
      NewActionButton("Button2", QTr("Прочитать дату и время"),
                      {{pwd},
                       [=](int& rc) -> const ReplyRecord& { return GetDateTime(pwd->Value(), rc); },
                       cmd::kGetDateTime,
                       ReplyCheck::Fixed(Tr("Ошибка чтения времени!")),
                       {{0, date}, {1, time}}});
  Button4 = NewStatusButton("Button4");
  Button3 = NewButton("Button3", QTr("Закрыть"), [this] { accept(); });

  auto* form = new QFormLayout;
  form->addRow(QTr("Дата (DDMMYY): "), DateTimePicker1);
  form->addRow(QTr("Время (HHMM):"), Edit2);
  form->addRow(QTr("Пароль:"), Edit3);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(Button4);
  bottom->addStretch();
  bottom->addWidget(Button3);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
  layout->addLayout(bottom);
}

void TForm27::FormActivate() {
  // One reading for both boxes: a date and a time of the same instant.
  const std::tm now = clock_();
  date_->Set(DateOf(now));
  Edit2->setText(Q(HhmmOf(now)));
  SetStatusButtonEnabled(false);
}

}  // namespace tolvanet::ui
