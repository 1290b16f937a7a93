#include "app/ui/windows.h"

namespace tolvanet::ui {

Windows::Windows() : Form1(std::make_unique<TForm1>()) {
  Form3 = new TForm3(Form1.get());
  Form5 = new TForm5(Form1.get());
  Form14 = new TForm14(Form1.get());
  Form28 = new TForm28(Form1.get());
  Form40 = new TForm40(Form28);

  Form1->SetDialog(Form1->N5, Form3);
  Form1->SetStatusDialog(Form5);
  Form1->SetDialog(Form1->N31, Form14);
  Form1->SetDialog(Form1->N24, Form28);
  Form14->SetStatusDialog(Form5);
  Form28->SetStatusDialog(Form5);
  Form28->SetVariablesWindow(Form40);
  Form5->SetStatusLineSink([this](const QString& line) { Form1->SetStatusLine(line); });
}

Windows::~Windows() = default;

}  // namespace tolvanet::ui
