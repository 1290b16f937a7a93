// The windows of the fiscal parameters, network, ID_DEV, modem and acquirer, created once at start and opened from their menu items.
#pragma once

namespace tolvanet::ui {

class TForm1;

struct FiscalWindows {
  // One member per window, e.g. `TForm20* Form20 = nullptr;`.

  // Creates the windows (owned by the main window) and gives each its menu item.
  void Create(TForm1& main);
};

}  // namespace tolvanet::ui
