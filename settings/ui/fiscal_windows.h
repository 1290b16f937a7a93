// The windows of the fiscal parameters, network, ID_DEV, modem and acquirer, created once at start
// and opened from their menu items.
#pragma once

namespace tolvanet::ui {

class TForm1;
class TForm15;
class TForm18;
class TForm19;
class TForm22;
class TForm36;
class TForm37;
class TForm49;
class TForm50;
class TForm51;
class TForm53;

struct FiscalWindows {
  TForm15* Form15 = nullptr;  // serial number, date and time
  TForm18* Form18 = nullptr;  // fiscal parameters, basic form
  TForm37* Form37 = nullptr;  // fiscal parameters, extended form
  TForm22* Form22 = nullptr;  // programming confirmation
  TForm36* Form36 = nullptr;  // programming result
  TForm19* Form19 = nullptr;  // fiscalization
  TForm49* Form49 = nullptr;  // network settings
  TForm50* Form50 = nullptr;  // ID_DEV
  TForm51* Form51 = nullptr;  // modem state
  TForm53* Form53 = nullptr;  // last acquirer session

  // Creates the windows (owned by the main window) and gives each its menu item.
  void Create(TForm1& main);
};

}  // namespace tolvanet::ui
