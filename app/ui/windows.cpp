#include "app/ui/windows.h"

namespace tolvanet::ui {

Windows::Windows() : Form1(std::make_unique<TForm1>()) {
  Form3 = new TForm3(Form1.get());
  Form5 = new TForm5(Form1.get());

  Form1->SetDialog(Form1->N5, Form3);
  Form1->SetStatusDialog(Form5);
  Form5->SetStatusLineSink([this](const QString& line) { Form1->SetStatusLine(line); });
}

Windows::~Windows() = default;

}  // namespace tolvanet::ui
