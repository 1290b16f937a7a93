// The windows of the "Отчеты" menu, created once at start and opened from their menu items.
#pragma once

namespace tolvanet::ui {

class TForm1;
class TForm10;
class TForm23;
class TForm24;
class TForm25;
class TForm31;
class TForm48;

struct ReportWindows {
  TForm10* Form10 = nullptr;  // free resources and status
  TForm48* Form48 = nullptr;  // VRN303 daily reports
  TForm23* Form23 = nullptr;  // daily reports
  TForm25* Form25 = nullptr;  // periodic report
  TForm24* Form24 = nullptr;  // sold goods report
  TForm31* Form31 = nullptr;  // extra daily reports

  // Creates the windows (owned by the main window) and gives each its menu item.
  void Create(TForm1& main);
};

}  // namespace tolvanet::ui
