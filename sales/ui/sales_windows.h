// The windows of the "Продажа" menu, created once at start and opened from their menu items.
#pragma once

#include <string>

namespace tolvanet::ui {

class TForm1;
class TForm8;
class TForm9;
class TForm20;
class TForm21;
class TForm35;
class TForm41;

struct SalesWindows {
  TForm20* Form20 = nullptr;  // Программировать товары
  TForm21* Form21 = nullptr;  // Фискальный чек
  TForm8* Form8 = nullptr;    // Печать нефискального чека
  TForm9* Form9 = nullptr;    // Служебное внесение и изъятие денег
  TForm35* Form35 = nullptr;  // Аннулирование и закрытие чека
  TForm41* Form41 = nullptr;  // Копия фискальных чеков (menu "Отчеты")

  // Creates the windows (owned by the main window) and gives each its menu item.
  void Create(TForm1& main);
  // For the demonstration: writes a small article file into `directory` and loads it, so that
  // the receipt window has articles to sell at once.
  void LoadDemoArticles(const std::string& directory);
};

}  // namespace tolvanet::ui
