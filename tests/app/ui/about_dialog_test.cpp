// The About box: the build's version and the configuration file in use, read at each opening.
#include <QtTest>

#include "app/app_state.h"
#include "app/ui/about_dialog.h"
#include "app/version.h"

using namespace tolvanet;

class AboutDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void showsVersionAndTheConfigurationInUse() {
    ui::TForm3 about;
    QVERIFY(about.Label3->text().contains(Version()));
    for (const char* path : {"/home/u/.config/tolvanet/fpinit.ini", "/tmp/demo/fpinit.ini"}) {
      TheAppState().config_path = path;
      about.show();
      QVERIFY2(about.Label4->text().contains(path), qPrintable(about.Label4->text()));
      about.Button1->click();
      QVERIFY(!about.isVisible());
    }
  }
};

QTEST_MAIN(AboutDialogTest)
#include "about_dialog_test.moc"
