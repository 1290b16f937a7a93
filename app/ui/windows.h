// Every window of the program, created once at start in a fixed order and kept until the end.
#pragma once

#include <memory>

#include "app/ui/about_dialog.h"
#include "app/ui/main_window.h"
#include "reports/ui/report_windows.h"
#include "reports/ui/status_bytes_dialog.h"
#include "sales/ui/sales_windows.h"
#include "script/ui/command_test_dialog.h"
#include "script/ui/monitor_window.h"
#include "script/ui/variables_window.h"
#include "settings/ui/fiscal_windows.h"
#include "settings/ui/settings_windows.h"
#include "transfer/ui/transfer_windows.h"

namespace tolvanet::ui {

struct Windows {
  Windows();
  ~Windows();

  std::unique_ptr<TForm1> Form1;  // the main window first
  TForm3* Form3;                  // then the dialogs, owned by the main window
  TForm5* Form5;
  TForm14* Form14;
  TForm28* Form28;
  TForm40* Form40;  // beside the monitor, owned by it

  // The task windows, family by family.
  SalesWindows sales;
  ReportWindows reports;
  TransferWindows transfer;
  FiscalWindows fiscal;
  SettingsWindows settings;
};

}  // namespace tolvanet::ui
