// The settings and transfer windows in each interface language: their texts follow the
// language, longer texts make them grow instead of clipping, and a fiscalization sends the
// same command texts whatever the language.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "settings/ui/acquirer_session_dialog.h"
#include "settings/ui/date_time_dialog.h"
#include "settings/ui/decimal_point_dialog.h"
#include "settings/ui/fiscal_params_dialog.h"
#include "settings/ui/fiscalization_dialog.h"
#include "settings/ui/header_text_dialog.h"
#include "settings/ui/id_dev_dialog.h"
#include "settings/ui/maintenance_dialog.h"
#include "settings/ui/modem_state_dialog.h"
#include "settings/ui/network_dialog.h"
#include "settings/ui/operators_dialog.h"
#include "settings/ui/passwords_dialog.h"
#include "settings/ui/payment_types_dialog.h"
#include "settings/ui/program_confirm_dialog.h"
#include "settings/ui/program_result_dialog.h"
#include "settings/ui/read_write_form.h"
#include "settings/ui/registrator_params_dialog.h"
#include "settings/ui/serial_number_dialog.h"
#include "settings/ui/service_counters_dialog.h"
#include "tests/app/ui/layout_faults.h"
#include "tests/app/ui/window_test_bench.h"
#include "transfer/ui/firmware_read_dialog.h"
#include "transfer/ui/fiscal_memory_dialog.h"
#include "transfer/ui/logo_dialog.h"
#include "transfer/ui/transfer_dialog.h"

namespace tolvanet {

using Texts = std::vector<std::pair<int, std::string>>;

class SettingsLanguagesTest : public QObject {
  Q_OBJECT
  testing::WindowTestBench bench_;

  std::vector<QWidget*> Windows() const {
    const auto& s = bench_.windows->settings;
    const auto& f = bench_.windows->fiscal;
    const auto& t = bench_.windows->transfer;
    return {s.Form11, s.Form12, s.Form13, s.Form26, s.Form27, s.Form32, s.Form34, s.Form38,
            s.Form39, f.Form15, f.Form18, f.Form37, f.Form22, f.Form36, f.Form19, f.Form49,
            f.Form50, f.Form51, f.Form53, t.Form6,  t.Form45, t.Form7};
  }

  // Fiscalizes through the window; the texts the register got.
  Texts Fiscalize(const char* serial) {
    ui::TForm19* f = bench_.windows->fiscal.Form19;
    f->Edit4->setText(serial);
    f->Edit1->setText("123456");
    f->Edit2->setText("123456");
    f->Edit3->setText("406172");
    bench_.reg->ClearRequests();
    bench_.platform.messages.clear();
    f->Button2->click();
    return bench_.Sent();
  }

 private slots:
  void init() { QVERIFY(bench_.SetUp()); }
  void cleanup() { bench_.TearDown(); }

  void textsFollowTheLanguage() {
    struct Case {
      const char* language;
      const char* params_caption;
      const char* read_flash;
      const char* tax_type;
      const char* no_serial;
      const char* success;
    };
    // The fiscalization window's own texts were Ukrainian from the start.
    const Case cases[] = {
        {kOriginalLanguage, "Параметры регистратора", "Читать флеш-память", "Вложенный",
         "Заводський номер не введено! Фіскалізацію не виконано.", "Успешно!"},
        {"uk", "Параметри реєстратора", "Читати флеш-пам'ять", "Вкладений",
         "Заводський номер не введено! Фіскалізацію не виконано.", "Успішно!"},
        {"en", "Register settings", "Read flash memory", "Included",
         "No serial number entered! Fiscalization was not performed.", "Success!"},
    };
    for (const Case& c : cases) {
      QVERIFY2(bench_.StartIn(c.language), c.language);
      QCOMPARE(bench_.windows->settings.Form26->windowTitle(), QString::fromUtf8(c.params_caption));
      QCOMPARE(bench_.windows->transfer.Form7->Button3->text(), QString::fromUtf8(c.read_flash));
      QCOMPARE(bench_.windows->fiscal.Form18->TypeBoxes[0]->itemText(1),
               QString::fromUtf8(c.tax_type));
      QVERIFY(Fiscalize("").empty());
      QCOMPARE(bench_.platform.messages.back(), std::string(c.no_serial));
      // A window whose commands all went through says so in the language too.
      bench_.windows->fiscal.Form49->Button1->click();
      QCOMPARE(bench_.platform.messages.back(), std::string(c.success));
    }
  }

  // Every widget gets at least the room its text asks for, and no window outgrows a
  // 1366 x 768 screen.
  void longerTextsMakeTheWindowsGrow() {
    for (const char* language : {"uk", "en", kOriginalLanguage}) {
      QVERIFY2(bench_.StartIn(language), language);
      const QStringList faults = LayoutFaultsShown(Windows());
      QVERIFY2(faults.isEmpty(), qPrintable(QString(language) + ": " + faults.join("\n")));
    }
  }

  // The receipt the register prints ("РЕЄСТРАТОР ФІСКАЛІЗОВАНО УСПІШНО!") and every command
  // text stay the same bytes in every language.
  void aFiscalizationSendsTheSameTextsInEveryLanguage() {
    QVERIFY(bench_.StartIn(kOriginalLanguage));
    const Texts original = Fiscalize("AB1234567");
    QVERIFY2(!original.empty(),
             bench_.platform.messages.empty() ? "" : bench_.platform.messages.back().c_str());
    for (const char* language : {"uk", "en"}) {
      QVERIFY2(bench_.StartIn(language), language);
      QCOMPARE(Fiscalize("AB1234567"), original);
    }
  }
};

}  // namespace tolvanet

QTEST_MAIN(tolvanet::SettingsLanguagesTest)
#include "settings_languages_test.moc"
