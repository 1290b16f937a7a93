#include "reports/ui/status_bytes_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/app_state.h"
#include "app/dialog_pattern.h"
#include "app/ui/qt_platform.h"
#include "link/commands.h"
#include "reports/status_bytes.h"

namespace tolvanet::ui {

namespace {
constexpr char kHeading[] = "Проверка состояния регистратора:\n  ";
}

TForm5::TForm5(QWidget* parent) : QDialog(parent) {
  setObjectName("Form5");
  setWindowTitle("Байты состояния регистратора");
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout();
  const auto& groups = StatusByteGroups();
  for (int b = 0; b < 6; ++b) {
    // Read-only, but drawn in full colour so that the set bits can be read at a glance.
    auto* box = new QGroupBox(groups[b].title, this);
    box->setAttribute(Qt::WA_TransparentForMouseEvents);
    box->setFocusPolicy(Qt::NoFocus);
    auto* v = new QVBoxLayout(box);
    v->setSpacing(0);
    v->setContentsMargins(8, 4, 8, 4);
    for (int bit = 0; bit < 8; ++bit) {
      const int number = groups[b].first_check_box + bit;
      auto* cb = new QCheckBox(groups[b].bits[bit], box);
      cb->setObjectName(QString("CheckBox%1").arg(number));
      cb->setFocusPolicy(Qt::NoFocus);
      v->addWidget(cb);
      check_boxes_[number - 1] = cb;
    }
    if (b == 2) {
      ComboBox1 = new QComboBox(box);
      ComboBox1->setObjectName("ComboBox1");
      ComboBox1->setFocusPolicy(Qt::NoFocus);
      for (const auto& s : ReceiptStates())
        ComboBox1->addItem(Q(s));
      v->addWidget(ComboBox1);
    }
    GroupBoxes[b] = box;
    grid->addWidget(box, b / 2, b % 2);
  }
  layout->addLayout(grid);
  auto* buttons = new QHBoxLayout();
  Button2 = new QPushButton("Обновить", this);
  Button1 = new QPushButton("Закрыть", this);
  buttons->addStretch();
  buttons->addWidget(Button2);
  buttons->addWidget(Button1);
  layout->addLayout(buttons);
  connect(Button2, &QPushButton::clicked, this, &TForm5::Button2Click);
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}

void TForm5::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  FormActivate();
}

void TForm5::FormActivate() {
  ShowStatus();
}

void TForm5::ShowStatus() {
  const ReplyRecord* reply = TheAppState().current_reply;
  const auto& groups = StatusByteGroups();
  for (int b = 0; b < 6; ++b) {
    const std::uint8_t value = reply != nullptr ? reply->status_bytes[b] : 0;
    for (int bit = 0; bit < 7; ++bit) {
      CheckBox(groups[b].first_check_box + bit)->setChecked((value >> bit) & 1);
    }
    CheckBox(groups[b].first_check_box + 7)->setChecked(true);  // bit 0x80 is always set
  }
  ComboBox1->setCurrentIndex(reply != nullptr ? reply->status_bytes[2] & 0x0F : 0);
}

void TForm5::Button2Click() {
  int rc = 0;
  const ReplyRecord& reply = GetDiagnosticInfo("406172", rc);
  if (!CheckReply(reply, kHeading, std::string(kHeading) + std::string(kTimeoutMessage)))
    return;
  TheAppState().payment_type_count = PaymentTypeCount(reply);
  if (sink_)
    sink_(Q(ModelLine(reply)));
  ShowStatus();
}

}  // namespace tolvanet::ui
