#include "settings/ui/fiscal_windows.h"

#include "app/ui/main_window.h"
#include "settings/ui/acquirer_session_dialog.h"
#include "settings/ui/fiscal_params_dialog.h"
#include "settings/ui/fiscalization_dialog.h"
#include "settings/ui/id_dev_dialog.h"
#include "settings/ui/modem_state_dialog.h"
#include "settings/ui/network_dialog.h"
#include "settings/ui/program_confirm_dialog.h"
#include "settings/ui/program_result_dialog.h"
#include "settings/ui/serial_number_dialog.h"

namespace tolvanet::ui {

void FiscalWindows::Create(TForm1& main) {
  Form15 = new TForm15(&main);
  main.SetDialog(main.N29, Form15);
  Form22 = new TForm22(&main);
  Form36 = new TForm36(&main);
  Form18 = new TForm18(&main);
  Form18->SetProgrammingWindows(Form22, Form36);
  Form37 = new TForm37(&main);
  Form37->SetProgrammingWindows(Form22, Form36);
  main.SetFiscalDialogs(Form18, Form37);
  Form19 = new TForm19(&main);
  main.SetDialog(main.N32, Form19);
  Form49 = new TForm49(&main);
  main.SetDialog(main.N42, Form49);
  Form50 = new TForm50(&main);
  main.SetDialog(main.IDDEV1, Form50);
  Form51 = new TForm51(&main);
  main.SetDialog(main.N43, Form51);
  Form53 = new TForm53(&main);
  main.SetDialog(main.N44, Form53);
}

}  // namespace tolvanet::ui
