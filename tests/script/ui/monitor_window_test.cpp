// The monitor window against the built-in simulator: the command panel, the script runner
// with its variables window, and the recent-file list.
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "app/app_state.h"
#include "app/config.h"
#include "app/profile.h"
#include "app/ui/windows.h"
#include "link/codepage.h"
#include "link/engine.h"
#include "script/monitor_lines.h"
#include "sim/register.h"
#include "sim/server.h"
#include "tests/app/ui/window_test_bench.h"

using namespace tolvanet;

namespace {

using Messages = std::vector<std::string>;

QStringList Lines(const QPlainTextEdit* memo) {
  const QString text = memo->toPlainText();
  return text.isEmpty() ? QStringList() : text.split('\n');
}

QString Shown(const std::string& cp1251) {
  return QString::fromStdString(FromCp1251(cp1251));
}

}  // namespace

class MonitorWindowTest : public QObject {
  Q_OBJECT

 private:
  testing::WindowTestBench bench_;
  testing::ScriptedPlatform& platform_ = bench_.platform;
  sim::Register*& reg_ = bench_.reg;
  std::unique_ptr<ui::Windows>& w_ = bench_.windows;
  ui::TForm28* f_ = nullptr;
  std::string diagnostic_data_;  // the register's answer data to code 128

  std::string Ini() const { return bench_.Ini(); }
  std::string Path(const std::string& name) const { return bench_.Path(name); }
  std::string WriteScript(const std::string& name, const std::string& text) {
    std::ofstream(Path(name), std::ios::binary) << text;
    return Path(name);
  }
  void Type(const QString& code, const QString& data, const QString& password = "406172") {
    f_->Edit2->setText(password);
    f_->Edit1->setText(code);
    f_->Edit3->setText(data);
  }
  void ChooseScript(const std::string& path) {
    platform_.files.push_back(path);
    f_->Button5Click();
  }
  std::vector<int> Codes() const { return bench_.Codes(); }

 private slots:
  void init() {
    QVERIFY(bench_.SetUp());
    diagnostic_data_ = reg_->Execute(128, "406172;").data;

    QVERIFY(bench_.Connect());
    QVERIFY(w_->Form1->N24->isEnabled());
    reg_->ClearRequests();
    platform_.messages.clear();
    f_ = w_->Form28;
    f_->FormActivate();
  }

  void cleanup() { bench_.TearDown(); }

  void menuItemOpensTheMonitor() {
    ui::TForm28 fresh;  // as stored: the panel and "Открыть файл" wait for an activation
    QVERIFY(!fresh.GroupBox2->isEnabled());
    QVERIFY(!fresh.Button5->isEnabled());
    bool seen = false;
    QTimer::singleShot(0, [&] {
      QVERIFY(f_->isVisible());
      QCOMPARE(f_->windowTitle(),
               QString("Монитор для фискального регистратора + запуск скриптов"));
      QVERIFY(f_->GroupBox2->isEnabled());
      QVERIFY(f_->Button5->isEnabled());
      QCOMPARE(f_->focusWidget(), f_->Edit1);
      seen = true;
      f_->Button1->click();
    });
    w_->Form1->N24Click();
    QVERIFY(seen);
    QVERIFY(!f_->isVisible());
  }

  // ---- the command panel, without the register ----

  void commandCodes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code");  // -1: refused
    QTest::newRow("lower case") << "2a" << 42;
    QTest::newRow("upper case") << "2A" << 42;
    QTest::newRow("2f") << "2f" << 47;
    QTest::newRow("lowest") << "00" << 0;
    QTest::newRow("highest") << "ff" << 255;
    QTest::newRow("not hexadecimal first") << "G1" << -1;
    QTest::newRow("not hexadecimal second") << "2G" << -1;
    QTest::newRow("one digit") << "2" << -1;
    QTest::newRow("three digits") << "2ff" << -1;
    QTest::newRow("empty") << "" << -1;
  }
  void commandCodes() {
    QFETCH(QString, text);
    QFETCH(int, code);
    const std::optional<int> parsed = script::ParseCommandCode(text.toStdString());
    QCOMPARE(parsed.value_or(-1), code);
  }

  void keptCommands_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("data");
    QTest::addColumn<QString>("entry");
    QTest::newRow("code and data") << "21"
                                   << "1"
                                   << "21->1";
    QTest::newRow("no data") << "21"
                             << ""
                             << "21->";
    QTest::newRow("arrow in the data") << "30"
                                       << "a->b;"
                                       << "30->a->b;";
    QTest::newRow("short code") << "2"
                                << "x"
                                << "2->x";
    QTest::newRow("letters") << "жж"
                             << "текст"
                             << "жж->текст";
  }
  void keptCommands() {
    QFETCH(QString, code);
    QFETCH(QString, data);
    QFETCH(QString, entry);
    QCOMPARE(QString::fromStdString(script::KeptCommand(code.toStdString(), data.toStdString())),
             entry);
    const script::KeptFields kept = script::ParseKeptCommand(entry.toStdString());
    QCOMPARE(QString::fromStdString(kept.code), code);
    QCOMPARE(QString::fromStdString(kept.data), data);
  }

  void exchangeLinesOfShortFrames() {
    ReplyRecord r;
    r.sent_frame = "\x01\x24";
    r.raw_answer = "\x01\x30";
    const script::ExchangeLines lines = script::ShortExchangeLines(r, "21");
    QCOMPARE(lines.sent, std::string("PC: (21)"));
    QCOMPARE(lines.answer, std::string("FP: "));
  }

  void codeAndPasswordEnableSend_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("command");
    QTest::addColumn<bool>("message");
    QTest::newRow("2a") << "2a"
                        << "406172" << true << 42 << false;
    QTest::newRow("G1") << "G1"
                        << "406172" << false << -1 << true;
    QTest::newRow("five-character password") << "21"
                                             << "40617" << false << 33 << false;
    QTest::newRow("one code character") << "2"
                                        << "406172" << false << -1 << false;
  }
  void codeAndPasswordEnableSend() {
    QFETCH(QString, code);
    QFETCH(QString, password);
    QFETCH(bool, enabled);
    QFETCH(int, command);
    QFETCH(bool, message);
    f_->Edit1->clear();
    Type(code, "", password);
    QCOMPARE(f_->Button2->isEnabled(), enabled);
    QCOMPARE(f_->command_code().value_or(-1), command);
    QCOMPARE(platform_.messages, message ? Messages{"Неверный код команды!"} : Messages{});
  }

  void passwordCompletedAfterTheCodeSendsThatCode() {
    f_->Edit1->setText("80");
    f_->Edit2->setText("40617");
    f_->Edit1->setText("21");
    QVERIFY(!f_->Button2->isEnabled());
    f_->Edit2->setText("406172");
    QVERIFY(f_->Button2->isEnabled());
    f_->Button2->click();
    QCOMPARE(Codes(), std::vector<int>{0x21});
  }

  // ---- the command panel against the register ----

  void sendWritesTheShortLines() {
    Type("80", "");
    f_->Button2->click();
    QVERIFY(platform_.messages.empty());
    QCOMPARE(Codes(), std::vector<int>{128});
    QCOMPARE(reg_->requests()[0].text, std::string("406172;"));
    const ReplyRecord& reply = TheEngine().reply();
    QCOMPARE(TheAppState().current_reply, &reply);
    const std::string& raw = reply.raw_answer;
    QVERIFY(raw.size() > 13);
    QCOMPARE(raw.back(), '\x03');
    QCOMPARE(Lines(f_->Memo1), (QStringList{Shown("PC: (80)\x80"
                                                  "406172;"),
                                            Shown("FP: " + raw.substr(0, raw.size() - 13))}));
    QVERIFY(Lines(f_->Memo1)[1].endsWith(Shown(diagnostic_data_)));
    QCOMPARE(f_->Edit5->text(), QString("0000"));
    QCOMPARE(f_->Edit6->text(), QString::fromStdString(StatusText(reply)));
  }

  void enterInTheDataFieldWritesTheWholeLines() {
    Type("80", "");
    f_->Edit5->clear();
    f_->Edit6->clear();
    QTest::keyClick(f_->Edit3, Qt::Key_Return);
    QCOMPARE(Codes(), std::vector<int>{128});
    const ReplyRecord& reply = TheEngine().reply();
    QCOMPARE(reply.sent_frame.front(), '\x01');
    QCOMPARE(reply.sent_frame.back(), '\x03');
    QCOMPARE(Lines(f_->Memo1),
             (QStringList{Shown("PC: " + reply.sent_frame), Shown("FP: " + reply.raw_answer)}));
    QCOMPARE(f_->Edit5->text(), QString("0000"));
    QCOMPARE(f_->Edit6->text(), QString::fromStdString(StatusText(reply)));

    // Enter in the code field only moves on to the data field.
    f_->show();
    f_->activateWindow();
    f_->Edit1->setFocus();
    QTest::keyClick(f_->Edit1, Qt::Key_Return);
    QCOMPARE(f_->focusWidget(), f_->Edit3);
    QCOMPARE(Codes().size(), std::size_t{1});
  }

  void enterWithAnIncompleteCodeSendsNothing_data() {
    QTest::addColumn<QString>("code");
    QTest::newRow("one character") << "8";
    QTest::newRow("empty") << "";
    QTest::newRow("not hexadecimal") << "8x";
  }
  void enterWithAnIncompleteCodeSendsNothing() {
    QFETCH(QString, code);
    Type("80", "");  // a valid code first
    f_->Edit1->setText(code);
    platform_.messages.clear();
    QTest::keyClick(f_->Edit3, Qt::Key_Return);
    QVERIFY(reg_->requests().empty());
    QCOMPARE(platform_.messages, Messages{"Неверный код команды!"});
    QVERIFY(Lines(f_->Memo1).isEmpty());
  }

  void quietOutputStillFillsTheFields() {
    f_->CheckBox2->setChecked(true);
    reg_->ForceStatusBits(2, 0x01);
    Type("80", "");
    f_->Button2->click();
    QCOMPARE(Codes(), std::vector<int>{128});
    QVERIFY(Lines(f_->Memo1).isEmpty());
    QCOMPARE(f_->Edit5->text(), QString("0000"));
    QCOMPARE(f_->Edit6->text(), QString::fromStdString(StatusText(TheEngine().reply())));
    QVERIFY(f_->Edit6->text().split(' ')[2] == "01");
  }

  void deviceErrorIsOnlyShownInTheField() {
    reg_->SetNextError(0x0600);
    Type("80", "");
    f_->Button2->click();
    QVERIFY(platform_.messages.empty());
    QCOMPARE(f_->Edit5->text(), Shown(TheEngine().reply().error_code));
    QVERIFY(f_->Edit5->text() != "0000" && !f_->Edit5->text().isEmpty());
    QCOMPARE(Lines(f_->Memo1).size(), 2);
  }

  void timeoutLeavesFieldsAndMessages() {
    Type("80", "");
    f_->Button2->click();
    const QStringList before = Lines(f_->Memo1);
    const QString status = f_->Edit6->text();
    reg_->ChangeFaults([](sim::Faults& faults) { faults.no_answer = true; });
    f_->Button2->click();
    QCOMPARE(platform_.messages, Messages{"Ошибка выполнения команды. Таймаут"});
    QCOMPARE(Lines(f_->Memo1), before);
    QCOMPARE(f_->Edit5->text(), QString("0000"));
    QCOMPARE(f_->Edit6->text(), status);
  }

  void repeatSendsTheSameSequenceByte() {
    Type("80", "");
    f_->Button2->click();
    f_->Button4->click();
    QVERIFY(Lines(f_->Memo1).isEmpty());
    f_->Button9->click();
    QVERIFY(platform_.messages.empty());
    const auto requests = reg_->requests();
    QCOMPARE(requests.size(), std::size_t{2});
    QCOMPARE(int(requests[1].code), int(requests[0].code));
    QCOMPARE(requests[1].text, requests[0].text);
    QCOMPARE(int(requests[1].sequence), int(requests[0].sequence));
    const ReplyRecord& reply = TheEngine().reply();
    QCOMPARE(Lines(f_->Memo1),
             (QStringList{Shown("PC: " + reply.sent_frame), Shown("FP: " + reply.raw_answer)}));
    QCOMPARE(f_->Edit5->text(), QString("0000"));

    // The next command moves on to the next sequence byte.
    f_->Button2->click();
    QVERIFY(reg_->requests()[2].sequence != requests[0].sequence);
  }

  void repeatWithNothingToRepeatSaysSo() {
    // A command the link loses ends in a reconnection: there is nothing left to repeat.
    reg_->ChangeFaults([](sim::Faults& faults) { faults.drop_connection = true; });
    Type("80", "");
    f_->Button2->click();
    QCOMPARE(platform_.messages, Messages{"Ошибка выполнения команды. Таймаут"});
    reg_->ChangeFaults([](sim::Faults& faults) { faults.drop_connection = false; });
    reg_->ClearRequests();
    platform_.messages.clear();
    f_->Button9->click();
    QCOMPARE(platform_.messages.size(), std::size_t{1});
    QVERIFY(platform_.messages[0].rfind("Повторять нечего", 0) == 0);
    QVERIFY(reg_->requests().empty());
    QVERIFY(Lines(f_->Memo1).isEmpty());
  }

  void keptListAndDoubleClick() {
    Type("21", "1");
    f_->Button3->click();
    Type("80", "2;3");
    f_->Button3->click();
    QCOMPARE(f_->ListBox1->count(), 2);
    QCOMPARE(f_->ListBox1->item(0)->text(), QString("21->1"));
    QCOMPARE(f_->ListBox1->item(1)->text(), QString("80->2;3"));
    f_->Edit1->clear();
    f_->Edit3->clear();
    f_->ListBox1->setCurrentRow(0);
    emit f_->ListBox1->itemDoubleClicked(f_->ListBox1->item(0));
    QCOMPARE(f_->Edit1->text(), QString("21"));
    QCOMPARE(f_->Edit3->text(), QString("1"));
    QCOMPARE(f_->command_code().value_or(-1), 33);
    QVERIFY(f_->Button2->isEnabled());
  }

  void statusButtonFollowsTheStatusFlag() {
    int shown = 0;
    QTimer closer;
    connect(&closer, &QTimer::timeout, [&] {
      if (w_->Form5->isVisible()) {
        ++shown;
        w_->Form5->Button1->click();
      }
    });
    closer.start(0);
    TheAppState().status_available = false;
    f_->SpeedButton1->click();
    QCOMPARE(shown, 0);
    TheAppState().status_available = true;
    f_->SpeedButton1->click();
    QCOMPARE(shown, 1);
  }

  void aTextTooLongIsNotSent() {
    Type("80", QString(230, 'x'));
    f_->Button2->click();
    QVERIFY(reg_->requests().empty());
    QCOMPARE(platform_.messages.size(), std::size_t{1});
    QVERIFY(platform_.messages[0].find("219") != std::string::npos);
    QVERIFY(Lines(f_->Memo1).isEmpty());
  }

  // ---- the script runner ----

  void fullRunFillsTheVariablesWindow() {
    ChooseScript(WriteScript("vars.txt",
                             "%DeclareBeg\n"
                             "%New a\n"
                             "%New b\n"
                             "%DeclareEnd\n"
                             "%Set a = \"7\"\n"
                             "80406172;\n"
                             "%Set b = %Ret0\n"
                             "+done\n"));
    f_->show();
    f_->Button10->click();
    ui::TForm40* vars = w_->Form40;
    QVERIFY(vars->isVisible());
    QCOMPARE(vars->windowTitle(), QString("Переменные"));
    QCOMPARE(vars->pos().x(), f_->frameGeometry().right() + 1);
    QCOMPARE(vars->pos().y(), f_->frameGeometry().top());

    f_->Button6->click();
    QCOMPARE(platform_.messages, Messages{"Конец файла!"});
    QCOMPARE(f_->Edit4->text(), QString("0"));
    QCOMPARE(Codes(), std::vector<int>{128});
    QCOMPARE(vars->StringGrid1->rowCount(), 3);
    QCOMPARE(vars->StringGrid1->columnCount(), 4);
    const QString model = Shown(diagnostic_data_.substr(0, diagnostic_data_.find(';')));
    const QStringList expected{"", "Переменные", "Значения", "1", "a", "7", "2", "b", model};
    QStringList cells;
    for (int row = 0; row < 3; ++row) {
      for (int col = 0; col < 3; ++col)
        cells << vars->Cell(col, row);
    }
    QCOMPARE(cells, expected);
    const QStringList lines = Lines(f_->Memo1);
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines[0].startsWith("PC: "));
    QVERIFY(lines[1].startsWith("FP: "));
    QCOMPARE(lines[2], QString("Комментарий:: done!!!"));
    QCOMPARE(f_->Edit5->text(), QString("0000"));
    QVERIFY(f_->Button6->isEnabled());

    // Another run starts the table again; quiet output leaves exchanges and comments out.
    f_->CheckBox2->setChecked(true);
    f_->Button4->click();
    f_->Button6->click();
    QCOMPARE(vars->StringGrid1->rowCount(), 3);
    QVERIFY(Lines(f_->Memo1).isEmpty());
    f_->hide();
    QVERIFY(!vars->isVisible());
  }

  void stopEndsALongRunAndASecondRunIsRefused() {
    ChooseScript(WriteScript("loop.txt",
                             "%DeclareBeg\n"
                             "%New i\n"
                             "%DeclareEnd\n"
                             "%Set i = \"0\"\n"
                             "%While (i<1)\n"
                             "80406172;\n"
                             "%EndWhile\n"));
    bool locked = true;
    bool second_tried = false;
    platform_.on_process_events = [&] {
      const std::size_t sent = reg_->requests().size();
      if (sent == 1 && !second_tried) {
        second_tried = true;
        locked = !f_->Button6->isEnabled() && !f_->Button8->isEnabled() &&
                 !f_->Button11->isEnabled() && !f_->Button5->isEnabled() &&
                 !f_->Button2->isEnabled() && f_->Button7->isEnabled();
        f_->Button6Click();
      }
      if (sent >= 3)
        f_->Button7->click();
      if (sent >= 10)
        f_->interpreter().RequestStop();  // keeps a broken "Стоп" from looping for ever
    };
    f_->Button6->click();
    QVERIFY(second_tried);
    QVERIFY(locked);
    QCOMPARE(platform_.messages, Messages{"Скрипт уже выполняется."});
    QCOMPARE(reg_->requests().size(), std::size_t{3});
    QVERIFY(f_->Edit4->text().toInt() > 0);
    QVERIFY(f_->Button6->isEnabled());
    QVERIFY(f_->Button5->isEnabled());
  }

  void continueAndStepFromTheLineCount() {
    ChooseScript(WriteScript("modes.txt",
                             "80406172;\n"
                             "FF406172;\n"
                             "+after\n"
                             ";quiet\n"
                             "21406172;\n"));
    // A full run ends at the failing line and leaves its count.
    f_->Button6->click();
    QCOMPARE(platform_.messages, Messages{"Ошибка выполнения команды"});
    QCOMPARE(f_->Edit4->text(), QString("2"));
    QVERIFY(f_->Edit5->text() != "0000");
    QCOMPARE(f_->Edit1->text(), QString("FF"));

    // "Шаг" takes the next line after the count: the shown comment.
    platform_.messages.clear();
    f_->Button4->click();
    f_->Button11->click();
    QCOMPARE(f_->Edit4->text(), QString("3"));
    QCOMPARE(Lines(f_->Memo1), QStringList{"Комментарий:: after!!!"});
    QCOMPARE(Codes(), (std::vector<int>{0x80, 0xFF}));

    // "Продолжить" carries on from there to the end of the file.
    f_->Button8->click();
    QCOMPARE(Codes(), (std::vector<int>{0x80, 0xFF, 0x21}));
    QCOMPARE(platform_.messages, Messages{"Конец файла!"});
    QCOMPARE(f_->Edit4->text(), QString("0"));

    // A count typed by hand.
    f_->Edit4->setText("4");
    f_->Button11->click();
    QCOMPARE(Codes().back(), 0x21);
    QCOMPARE(f_->Edit4->text(), QString("5"));

    platform_.messages.clear();
    reg_->ClearRequests();
    f_->Edit4->setText("x1");
    f_->Button8->click();
    QCOMPARE(platform_.messages, Messages{"Неверный номер строки скрипта: \"x1\"."});
    QVERIFY(reg_->requests().empty());
  }

  void scriptLineWithABadCodeIsReportedOnce() {
    ChooseScript(WriteScript("bad.txt", "80406172;\nG1406172;\n80406172;\n"));
    f_->Button6->click();
    QCOMPARE(platform_.messages, Messages{"Неверный код команды!"});
    QCOMPARE(Codes(), std::vector<int>{0x80});
    QCOMPARE(f_->Edit1->text(), QString("G1"));
    QVERIFY(!f_->Button2->isEnabled());
    QCOMPARE(f_->Edit4->text(), QString("2"));
  }

  void recentFilesOrdering() {
    auto shown = [this] {
      QStringList items;
      for (int i = 0; i < f_->ComboBox1->count(); ++i)
        items << f_->ComboBox1->itemText(i);
      return items;
    };
    auto stored = [this] {
      QStringList keys;
      for (int i = 1; i <= 5; ++i) {
        keys << QString::fromStdString(
            GetPrivateProfileString("Files", "File" + std::to_string(i), "-", 500, Ini()));
      }
      return keys;
    };
    const QString a = QString::fromStdString(WriteScript("a.txt", "80406172;\n"));
    const QString b = QString::fromStdString(WriteScript("b.txt", "21406172;\n"));
    const QString c = QString::fromStdString(WriteScript("c.txt", ";\n"));
    for (const QString& name : {a, b, c})
      ChooseScript(name.toStdString());
    QCOMPARE(shown(), (QStringList{c, b, a}));
    QCOMPARE(stored(), (QStringList{c, b, a, "", ""}));
    QCOMPARE(f_->ComboBox1->currentIndex(), 0);

    // A remembered name is selected where it stands; the list keeps its order.
    f_->Edit4->setText("7");
    ChooseScript(a.toStdString());
    QCOMPARE(shown(), (QStringList{c, b, a}));
    QCOMPARE(stored(), (QStringList{c, b, a, "", ""}));
    QCOMPARE(f_->ComboBox1->currentIndex(), 2);
    QCOMPARE(f_->Edit4->text(), QString("0"));
    QCOMPARE(QString::fromStdString(f_->interpreter().file()), a);

    // Beyond five names the oldest drops out.
    QStringList more;
    for (const char* n : {"d.txt", "e.txt", "f.txt"})
      more << QString::fromStdString(WriteScript(n, ";\n"));
    for (const QString& name : more)
      ChooseScript(name.toStdString());
    QCOMPARE(stored(), (QStringList{more[2], more[1], more[0], c, b}));

    // Cancelling the choice changes nothing.
    f_->Button5Click();
    QCOMPARE(QString::fromStdString(f_->interpreter().file()), more[2]);

    // Picking an entry makes it the chosen file; activation reads the list again.
    f_->Edit4->setText("3");
    f_->ComboBox1->setCurrentIndex(3);
    emit f_->ComboBox1->activated(3);
    QCOMPARE(QString::fromStdString(f_->interpreter().file()), c);
    QCOMPARE(f_->Edit4->text(), QString("0"));
    WritePrivateProfileString("Files", "File2", "", Ini());
    f_->FormActivate();
    QCOMPARE(shown(), (QStringList{more[2], more[0], c, b}));
    QCOMPARE(f_->ComboBox1->currentText(), c);
    QCOMPARE(stored()[1], QString(""));
  }
};

QTEST_MAIN(MonitorWindowTest)
#include "monitor_window_test.moc"
