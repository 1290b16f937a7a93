#include "sales/ui/sales_windows.h"

#include <filesystem>
#include <fstream>

#include "app/ui/main_window.h"
#include "link/codepage.h"
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

void SalesWindows::LoadDemoArticles(const std::string& directory) {
  const std::string path = (std::filesystem::path(directory) / "demo.art").string();
  // Code; name; price; tax group; department - as an article file holds them.
  std::ofstream(path, std::ios::binary) << ToCp1251(
      "101;Хліб пшеничний;18.50;0;1;\r\n"
      "102;Молоко 2,5% 0,9 л;38.90;0;1;\r\n"
      "103;Кава мелена 250 г;129.00;1;2;\r\n"
      "104;Вода мінеральна 1,5 л;21.40;0;1;\r\n"
      "105;Пакет;2.00;2;3;\r\n");
  Form20->LoadFile(path);
}

}  // namespace tolvanet::ui
