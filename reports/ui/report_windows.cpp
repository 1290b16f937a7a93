#include "reports/ui/report_windows.h"

#include "app/ui/main_window.h"
#include "reports/ui/daily_reports_dialog.h"
#include "reports/ui/extra_reports_dialog.h"
#include "reports/ui/free_resources_dialog.h"
#include "reports/ui/periodic_report_dialog.h"
#include "reports/ui/sold_goods_report_dialog.h"
#include "reports/ui/vrn303_reports_dialog.h"

namespace tolvanet::ui {

void ReportWindows::Create(TForm1& main) {
  Form10 = new TForm10(&main);
  Form48 = new TForm48(&main);
  Form23 = new TForm23(&main);
  Form25 = new TForm25(&main);
  Form24 = new TForm24(&main);
  Form31 = new TForm31(&main);
  main.SetDialog(main.N11, Form10);
  main.SetDialog(main.VRN3031, Form48);
  main.SetDialog(main.N12, Form23);
  main.SetDialog(main.N13, Form25);
  main.SetDialog(main.N14, Form24);
  main.SetDialog(main.N22, Form31);
}

}  // namespace tolvanet::ui
