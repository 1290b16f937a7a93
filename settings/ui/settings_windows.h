// The windows of the settings of the "Утилиты" and "Фискальные параметры" menus, created once at
// start and opened from their menu items.
#pragma once

namespace tolvanet::ui {

class TForm1;
class TForm11;
class TForm12;
class TForm13;
class TForm26;
class TForm27;
class TForm32;
class TForm34;
class TForm38;
class TForm39;

struct SettingsWindows {
  TForm11* Form11 = nullptr;  // header and advertising text (N25)
  TForm12* Form12 = nullptr;  // operators (N26)
  TForm13* Form13 = nullptr;  // mode passwords (N27)
  TForm26* Form26 = nullptr;  // register parameters (N19)
  TForm27* Form27 = nullptr;  // date and time (N21)
  TForm32* Form32 = nullptr;  // decimal point (N23)
  TForm34* Form34 = nullptr;  // payment types (N36)
  TForm38* Form38 = nullptr;  // maintenance reminder (N1)
  TForm39* Form39 = nullptr;  // service counters (N3)

  // Creates the windows (owned by the main window) and gives each its menu item.
  void Create(TForm1& main);
};

}  // namespace tolvanet::ui
