// The sales, report and script windows in each interface language: their texts follow the
// language, longer texts make them grow instead of clipping, and a receipt sends the same
// command texts whatever the language.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <fstream>

#include "link/codepage.h"
#include "reports/ui/daily_reports_dialog.h"
#include "reports/ui/extra_reports_dialog.h"
#include "reports/ui/free_resources_dialog.h"
#include "reports/ui/periodic_report_dialog.h"
#include "reports/ui/sold_goods_report_dialog.h"
#include "reports/ui/status_bytes_dialog.h"
#include "reports/ui/vrn303_reports_dialog.h"
#include "sales/ui/article_dialog.h"
#include "sales/ui/fiscal_receipt_dialog.h"
#include "sales/ui/non_fiscal_receipt_dialog.h"
#include "sales/ui/receipt_copy_dialog.h"
#include "sales/ui/service_cash_dialog.h"
#include "sales/ui/void_close_dialog.h"
#include "script/ui/command_test_dialog.h"
#include "script/ui/monitor_window.h"
#include "script/ui/variables_window.h"
#include "tests/app/ui/layout_faults.h"
#include "tests/app/ui/window_test_bench.h"

namespace tolvanet {

using Texts = std::vector<std::pair<int, std::string>>;

class InterfaceLanguageWindowsTest : public QObject {
  Q_OBJECT
  testing::WindowTestBench bench_;

  std::vector<QWidget*> Windows() const {
    const auto& w = *bench_.windows;
    return {w.Form5,          w.Form14,         w.Form28,         w.Form40,
            w.sales.Form20,   w.sales.Form21,   w.sales.Form8,    w.sales.Form9,
            w.sales.Form35,   w.sales.Form41,   w.reports.Form10, w.reports.Form48,
            w.reports.Form23, w.reports.Form25, w.reports.Form24, w.reports.Form31};
  }

  // Sells one article in cash through the receipt window; the texts the register got.
  Texts Receipt() {
    ui::TForm21* f = bench_.windows->sales.Form21;
    const std::string path = bench_.Path("goods.art");
    std::ofstream(path, std::ios::binary) << ToCp1251("123;Хлеб;4.50;1;2;\r\n");
    bench_.platform.files.push_back(path);
    f->FormActivate();
    bench_.reg->ClearRequests();
    bench_.platform.messages.clear();
    f->Button1->click();
    f->ListBox1->setCurrentRow(0);
    f->ListBox1Click();
    f->Edit10->setText("2");
    f->Edit9->setText("4.50");
    f->Button2->click();
    f->Edit2->setText("Коментар");
    f->Button10->click();
    f->Button13->click();
    f->Edit8->setText("9.00");
    f->Button8->click();
    f->Button9->click();
    return bench_.Sent();
  }

 private slots:
  void init() { QVERIFY(bench_.SetUp()); }
  void cleanup() { bench_.TearDown(); }

  void textsFollowTheLanguage() {
    struct Case {
      const char* language;
      const char* caption;
      const char* sell;
      const char* no_article;
      const char* status_caption;
    };
    const Case cases[] = {
        {kOriginalLanguage, "Фискальный чек", "Продать", "Не выбран товар!",
         "(2) Регистратор фискализирован"},
        {"uk", "Фіскальний чек", "Продати", "Не вибрано товар!", "(2) Реєстратор фіскалізовано"},
        {"en", "Fiscal receipt", "Sell", "No article chosen!", "(2) Register fiscalized"},
    };
    for (const Case& c : cases) {
      QVERIFY2(bench_.StartIn(c.language), c.language);
      ui::TForm21* f = bench_.windows->sales.Form21;
      QCOMPARE(f->windowTitle(), QString::fromUtf8(c.caption));
      QCOMPARE(f->Button2->text(), QString::fromUtf8(c.sell));
      f->Button2->click();
      QCOMPARE(bench_.platform.messages.back(), std::string(c.no_article));
      auto* fiscalized = bench_.windows->Form5->findChild<QCheckBox*>("CheckBox26");
      QVERIFY(fiscalized != nullptr);
      QCOMPARE(fiscalized->text(), QString::fromUtf8(c.status_caption));
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

  void aReceiptSendsTheSameTextsInEveryLanguage() {
    QVERIFY(bench_.StartIn(kOriginalLanguage));
    const Texts original = Receipt();
    QCOMPARE(original.size(), std::size_t{7});
    for (const char* language : {"uk", "en"}) {
      QVERIFY2(bench_.StartIn(language), language);
      QCOMPARE(Receipt(), original);
      QVERIFY(bench_.platform.messages.empty());
    }
  }
};

}  // namespace tolvanet

QTEST_MAIN(tolvanet::InterfaceLanguageWindowsTest)
#include "interface_language_windows_test.moc"
