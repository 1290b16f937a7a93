// The windows of the data transfers (logo, firmware, fiscal memory), created once at start and
// opened from their menu items.
#pragma once

namespace tolvanet::ui {

class TForm1;
class TForm6;
class TForm7;
class TForm45;

struct TransferWindows {
  TForm6* Form6 = nullptr;    // "Загрузка логотипа" (N18)
  TForm45* Form45 = nullptr;  // "Чтение внутреннего ПО" (N40)
  TForm7* Form7 = nullptr;    // "Фискальная память" (N20)

  // Creates the windows (owned by the main window) and gives each its menu item.
  void Create(TForm1& main);
};

}  // namespace tolvanet::ui
