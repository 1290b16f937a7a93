// The texts of the reports, sales and script runner in each interface language: what the
// operator reads follows the language, what goes to the register does not.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "link/codepage.h"
#include "link/engine.h"
#include "link/translate.h"
#include "reports/report_sequences.h"
#include "reports/status_bytes.h"
#include "sales/card_payment.h"
#include "sales/receipts.h"
#include "script/interpreter.h"
#include "tests/script/fake_register.h"
#include "tests/script/script_host_recorder.h"

namespace tolvanet {
namespace {

using testing::FakeAnswer;
using testing::FakeRegister;
using testing::SentCommand;
using ::testing::StartsWith;

class InterfaceLanguageTest : public ::testing::Test {
 protected:
  void SetUp() override { TheEngine().SetTransport(&reg); }
  void TearDown() override {
    TheEngine().SetTransport(nullptr);
    UseLanguage(kOriginalLanguage, TOLVANET_LOCALE_DIR);
  }
  void Use(const char* language) { ASSERT_TRUE(UseLanguage(language, TOLVANET_LOCALE_DIR)); }

  // What a script of one line shows in a message box.
  std::string ScriptMessage(const std::string& text) {
    const auto path =
        std::filesystem::temp_directory_path() /
        ("tolvanet_language_" +
         std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".txt");
    std::ofstream(path, std::ios::binary) << text;
    testing::RecordingHost host;
    script::Interpreter interpreter(TheEngine(), host);
    interpreter.SetFile(path.string());
    interpreter.Run();
    std::filesystem::remove(path);
    return host.boxes.empty() ? "" : host.boxes.front();
  }

  FakeRegister reg;
};

struct TextCase {
  const char* what;
  std::function<std::string()> text;
  const char* original;
  const char* uk;
  const char* en;
};

TEST_F(InterfaceLanguageTest, WhatTheOperatorReadsFollowsTheLanguage) {
  const TextCase cases[] = {
      {"status-byte caption", [] { return TrText(StatusByteGroups()[4].bits[1]); },
       "(2) Регистратор фискализирован", "(2) Реєстратор фіскалізовано", "(2) Register fiscalized"},
      {"receipt state", [] { return TrText(ReceiptState(0x89)); }, "9. Режим АННУЛИРОВАНИЕ",
       "9. Режим АНУЛЮВАННЯ", "9. VOID mode"},
      {"extra report kind", [] { return TrText(reports::kExtraReportKinds[1]); },
       "Отчет по операторам", "Звіт за операторами", "Operators report"},
      {"free resources caption", [] { return TrText(reports::FreeResourceItems()[11].caption); },
       "Свободно чеков:", "Вільних чеків:", "Free receipts:"},
      // The values land where each language puts its placeholder.
      {"report type refused", [] { return reports::ExtraDailyReport("406172", 7).input_error; },
       "Неизвестный тип отчета: 7 (0, 1 или 2).", "Невідомий тип звіту: 7 (0, 1 або 2).",
       "Unknown report type: 7 (0, 1 or 2)."},
      {"report date refused",
       [] {
         return reports::PeriodicReportByDates("406172", {2100, 1, 2}, {2100, 1, 3}, true)
             .input_error;
       },
       "Дата отчета 02.01.2100 вне допустимых пределов (01.01.2000 - 31.12.2099): регистратор "
       "хранит год двумя цифрами.",
       "Дата звіту 02.01.2100 поза допустимими межами (01.01.2000 - 31.12.2099): реєстратор "
       "зберігає рік двома цифрами.",
       "Report date 02.01.2100 is out of range (01.01.2000 - 31.12.2099): the register keeps the "
       "year in two digits."},
      {"free resources done",
       [] {
         reports::FreeResources resources;
         return reports::FreeResourcesReport("406172", resources).messages.back();
       },
       "Информация о свободных ресурсах и статусе - Успешно!",
       "Інформація про вільні ресурси та стан - Успішно!", "Free resources and status - Success!"},
      {"sale refused", [] { return sales::PrepareSale("406172", "", "1", "1").error; },
       "Не выбран товар!", "Не вибрано товар!", "No article chosen!"},
      {"cash in done", [] { return sales::ServiceCash("406172", "1", "5", false).outcome.message; },
       "Служебный внос денег - Успешно!", "Службове внесення коштів - Успішно!",
       "Cash in - Success!"},
      {"void window state", [] { return TrText(sales::ReceiptStateOf(0x12).text); },
       "Открыт чек возврата", "Відкрито чек повернення", "Return receipt open"},
      {"card stage", [] { return CardStageText(CardStage::kCardData); }, "Ожидание карты...",
       "Очікування картки...", "Waiting for the card..."},
      {"script error", [this] { return ScriptMessage("00406\r\n"); },
       "Ошибка - строка команды короче 9 символов: \"00406\".",
       "Помилка - рядок команди коротший за 9 символів: \"00406\".",
       "Error - command line shorter than 9 characters: \"00406\"."},
      {"script file missing",
       [] {
         testing::RecordingHost host;
         script::Interpreter interpreter(TheEngine(), host);
         interpreter.SetFile("/nonexistent/run.txt");
         interpreter.Run();
         return host.boxes.empty() ? std::string() : host.boxes.front();
       },
       "Не удалось открыть файл скрипта \"/nonexistent/run.txt\".",
       "Не вдалося відкрити файл скрипту \"/nonexistent/run.txt\".",
       "Could not open script file \"/nonexistent/run.txt\"."},
  };
  for (const auto& [language, column] :
       {std::pair{kOriginalLanguage, 0}, std::pair{"uk", 1}, std::pair{"en", 2}}) {
    Use(language);
    for (const TextCase& c : cases) {
      const char* expected = column == 0 ? c.original : column == 1 ? c.uk : c.en;
      EXPECT_EQ(c.text(), expected) << language << ": " << c.what;
    }
  }
}

// A failure shows the operation's heading in the language, before the device's own message.
TEST_F(InterfaceLanguageTest, HeadingsOfDeviceFailuresFollowTheLanguage) {
  reg.answers[161] = FakeAnswer{"0101", ""};
  const std::pair<const char*, const char*> cases[] = {
      {kOriginalLanguage, "Печать дневных отчетов:\n  "},
      {"uk", "Друк денних звітів:\n  "},
      {"en", "Printing daily reports:\n  "},
  };
  for (const auto& [language, heading] : cases) {
    Use(language);
    const reports::ReportOutcome out = reports::XReport("406172");
    ASSERT_EQ(out.messages.size(), 1u) << language;
    EXPECT_THAT(out.messages[0], StartsWith(heading)) << language;
  }
}

// The same operations in every language put the same bytes on the wire: the control tape title
// and the comments of a script are the register's and the file's, not the interface's.
TEST_F(InterfaceLanguageTest, TheWireIsTheSameInEveryLanguage) {
  const auto run_all = [this] {
    reg.sent.clear();
    reports::PrintControlTape("406172");
    reports::ExtraDailyReport("406172", 1);
    sales::ServiceCash("406172", "1", "5", true);
    sales::PrintNonFiscalReceipt("406172", {ToCp1251("Дякуємо; за покупку")});
    ScriptMessage("00406172;\r\n+Коментар\r\n");
    return reg.sent;
  };
  Use(kOriginalLanguage);
  const std::vector<SentCommand> original = run_all();
  ASSERT_GE(original.size(), 10u);
  EXPECT_EQ(original[1].text, "406172;" + ToCp1251("%MHJc*** Контрольная лента ***") + ";");
  for (const char* language : {"uk", "en"}) {
    Use(language);
    EXPECT_EQ(run_all(), original) << language;
  }
}

}  // namespace
}  // namespace tolvanet
