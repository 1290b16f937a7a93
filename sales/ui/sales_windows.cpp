#include "sales/ui/sales_windows.h"

#include "app/ui/main_window.h"
#include "sales/ui/article_dialog.h"
#include "sales/ui/fiscal_receipt_dialog.h"
#include "sales/ui/non_fiscal_receipt_dialog.h"
#include "sales/ui/receipt_copy_dialog.h"
#include "sales/ui/service_cash_dialog.h"
#include "sales/ui/void_close_dialog.h"

namespace tolvanet::ui {

void SalesWindows::Create(TForm1& main) {
  Form20 = new TForm20(&main);
  Form21 = new TForm21(&main);
  Form21->SetArticleDialog(Form20);  // one article list for both
  Form8 = new TForm8(&main);
  Form9 = new TForm9(&main);
  Form35 = new TForm35(&main);
  Form41 = new TForm41(&main);
  main.SetDialog(main.N7, Form20);
  main.SetDialog(main.N8, Form21);
  main.SetDialog(main.N9, Form8);
  main.SetDialog(main.N10, Form9);
  main.SetDialog(main.N16, Form35);
  main.SetDialog(main.N15, Form41);
}

}  // namespace tolvanet::ui
