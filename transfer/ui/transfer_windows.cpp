#include "transfer/ui/transfer_windows.h"

#include "app/ui/main_window.h"
#include "transfer/ui/firmware_read_dialog.h"
#include "transfer/ui/fiscal_memory_dialog.h"
#include "transfer/ui/logo_dialog.h"

namespace tolvanet::ui {

void TransferWindows::Create(TForm1& main) {
  Form6 = new TForm6(&main);
  main.SetDialog(main.N18, Form6);
  Form45 = new TForm45(&main);
  main.SetDialog(main.N40, Form45);
  Form7 = new TForm7(&main);
  main.SetDialog(main.N20, Form7);
}

}  // namespace tolvanet::ui
