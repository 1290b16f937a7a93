#include "settings/ui/settings_windows.h"

#include "app/ui/main_window.h"
#include "settings/ui/date_time_dialog.h"
#include "settings/ui/decimal_point_dialog.h"
#include "settings/ui/header_text_dialog.h"
#include "settings/ui/maintenance_dialog.h"
#include "settings/ui/operators_dialog.h"
#include "settings/ui/passwords_dialog.h"
#include "settings/ui/payment_types_dialog.h"
#include "settings/ui/registrator_params_dialog.h"
#include "settings/ui/service_counters_dialog.h"

namespace tolvanet::ui {

void SettingsWindows::Create(TForm1& main) {
  Form11 = new TForm11(&main);
  Form12 = new TForm12(&main);
  Form13 = new TForm13(&main);
  Form26 = new TForm26(&main);
  Form27 = new TForm27(&main);
  Form32 = new TForm32(&main);
  Form34 = new TForm34(&main);
  Form38 = new TForm38(&main);
  Form39 = new TForm39(&main);
  main.SetDialog(main.N25, Form11);
  main.SetDialog(main.N26, Form12);
  main.SetDialog(main.N27, Form13);
  main.SetDialog(main.N19, Form26);
  main.SetDialog(main.N21, Form27);
  main.SetDialog(main.N23, Form32);
  main.SetDialog(main.N36, Form34);
  main.SetDialog(main.N1, Form38);
  main.SetDialog(main.N3, Form39);
  TForm11* header = Form11;
  main.AddActivationStep([header] { header->ResetTapeWidth(); });
}

}  // namespace tolvanet::ui
