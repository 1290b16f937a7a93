#include "settings/ui/settings_windows.h"

#include "app/ui/main_window.h"

namespace tolvanet::ui {

void SettingsWindows::Create(TForm1& main) {
  (void)main;  // e.g. Form20 = new TForm20(&main); main.SetDialog(main.N7, Form20);
}

}  // namespace tolvanet::ui
