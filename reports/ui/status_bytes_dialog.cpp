#include "reports/ui/status_bytes_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/app_state.h"
#include "app/dialog_pattern.h"
#include "app/ui/qt_platform.h"
#include "reports/status_bytes.h"

namespace tolvanet::ui {

TForm5::TForm5(QWidget* parent) : TaskDialog(parent, "Form5", QTr("Байты состояния регистратора")) {
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout();
  const auto& groups = StatusByteGroups();
  for (int b = 0; b < 6; ++b) {
    // Read-only, but drawn in full colour so that the set bits can be read at a glance.
    auto* box = new QGroupBox(QTr(groups[b].title), this);
    box->setAttribute(Qt::WA_TransparentForMouseEvents);
    box->setFocusPolicy(Qt::NoFocus);
    auto* v = new QVBoxLayout(box);
    v->setSpacing(0);
    v->setContentsMargins(8, 4, 8, 4);
    for (int bit = 0; bit < 8; ++bit) {
      const int number = groups[b].first_check_box + bit;
      auto* cb = new QCheckBox(QTr(groups[b].bits[bit]), box);
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
        ComboBox1->addItem(Q(TrText(s)));
      v->addWidget(ComboBox1);
    }
    GroupBoxes[b] = box;
    grid->addWidget(box, b / 2, b % 2);
  }
  layout->addLayout(grid);
  auto* buttons = new QHBoxLayout();
  Button2 = NewCommandButton("Button2", QTr("Обновить"), &TForm5::Button2Click);
  Button1 = NewButton("Button1", QTr("Закрыть"), [this] { accept(); });
  buttons->addStretch();
  buttons->addWidget(Button2);
  buttons->addWidget(Button1);
  layout->addLayout(buttons);
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
  // A failing refresh leaves the boxes as they are; the current reply is the failing one.
  if (RunStatusCheck(false).ok())
    ShowStatus();
}

}  // namespace tolvanet::ui
