// Every window in each interface language: longer texts make a window grow, never clip, and no
// window outgrows a 1366 x 768 screen.
#include <QApplication>
#include <QMainWindow>
#include <QtTest>

#include "link/translate.h"
#include "tests/app/ui/layout_faults.h"
#include "tests/app/ui/window_test_bench.h"

using namespace tolvanet;
class LayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() {
    UseLanguage(kOriginalLanguage, TOLVANET_LOCALE_DIR);
    bench.TearDown();
  }

  void everyWindowFitsItsTextsInEachLanguage_data() {
    QTest::addColumn<QString>("language");
    for (const char* language : {"ru", "uk", "en"})
      QTest::newRow(language) << language;
  }
  void everyWindowFitsItsTextsInEachLanguage() {
    QFETCH(QString, language);
    // The windows take their texts when they are made: the language comes first.
    QVERIFY(UseLanguage(language.toStdString(), TOLVANET_LOCALE_DIR));
    QVERIFY(bench.SetUp());
    std::vector<QWidget*> windows;
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (window->inherits("QDialog") || window->inherits("QMainWindow"))
        windows.push_back(window);
    }
    QVERIFY2(windows.size() > 20, qPrintable(QString::number(windows.size())));
    const QStringList faults = LayoutFaultsShown(windows);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join("\n")));
  }

 private:
  testing::WindowTestBench bench;
};

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
