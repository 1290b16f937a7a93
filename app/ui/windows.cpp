#include "app/ui/windows.h"

#include "app/ui/task_dialog.h"

namespace tolvanet::ui {

Windows::Windows() : Form1(std::make_unique<TForm1>()) {
  Form3 = new TForm3(Form1.get());
  Form5 = new TForm5(Form1.get());
  Form14 = new TForm14(Form1.get());
  Form28 = new TForm28(Form1.get());
  Form40 = new TForm40(Form28);

  SetStatusWindow(Form5);
  Form1->SetDialog(Form1->N5, Form3);
  Form1->SetDialog(Form1->N31, Form14);
  Form1->SetDialog(Form1->N24, Form28);
  Form28->SetVariablesWindow(Form40);

  sales.Create(*Form1);
  reports.Create(*Form1);
  transfer.Create(*Form1);
  fiscal.Create(*Form1);
  settings.Create(*Form1);
}

Windows::~Windows() {
  SetStatusWindow(nullptr);
}

}  // namespace tolvanet::ui
