// Tax groups, identification numbers, the extended form's lengths, the programming result
// texts, the modem status byte and the free-text rule.
#include "settings/fiscal_params.h"

#include <gtest/gtest.h>

#include "link/engine.h"
#include "link/free_text.h"
#include "settings/modem.h"
#include "tests/script/fake_register.h"

namespace tolvanet {
namespace {

TEST(TaxGroups, TextsOfBothForms) {
  EXPECT_EQ(TaxTypeNames(false),
            (std::vector<std::string>{"Налог запрещен", "Вложенный", "Наложенный",
                                      "Группа не облагаемая налогом"}));
  EXPECT_EQ(TaxTypeNames(true),
            (std::vector<std::string>{"Налог запрещен", "Вложенный", "Наложенный",
                                      "Группа не облагаемая налогом", "Вложенный 2", "Наложенный 2",
                                      "Налог 2  Вложенный +", "Налог 2  Наложенный +"}));
  EXPECT_EQ(TaxGroupHeading(0), "Налог А:\n  ");
  EXPECT_EQ(TaxGroupCaption(4), "Налог Д:");
  EXPECT_EQ(LinkedGroupNames(0), (std::array<std::string, 5>{"Отсутствует", "Налог Б", "Налог В",
                                                             "Налог Г", "Налог Д"}));
  EXPECT_EQ(LinkedGroupNames(2), (std::array<std::string, 5>{"Налог А", "Налог Б", "Отсутствует",
                                                             "Налог Г", "Налог Д"}));
  EXPECT_EQ(TaxDefaults()[0].rate, "20.00");
  EXPECT_EQ(TaxDefaults()[1].type, 1);
  EXPECT_EQ(TaxDefaults()[2].type, 0);
  EXPECT_EQ(TaxDefaults()[4].name, "ПДВ_Д");
}

TEST(TaxGroups, AnswersSelectOnlyEntriesOfTheList) {
  struct Case {
    std::string data;
    int group;
    bool extended;
    int type;
    int linked;
  };
  const std::vector<Case> cases = {
      {"1;20.00;A;-1;", 0, false, 1, -1},  // the basic form does not read the link
      {"3;0.00;A;-1;", 0, false, 3, -1},
      {"4;0.00;A;-1;", 0, false, -1, -1},  // type 4 is not in the basic list
      {"7;0.00;A;-1;", 1, true, 7, 1},     // -1: the group's own "Отсутствует"
      {"8;0.00;A;2;", 1, true, -1, 2},
      {"-1;0.00;A;5;", 1, true, -1, -1},
      {"1;0.00;A;1;", 3, true, 1, 1},
      {"x;0.00;A;y;", 3, true, -1, -1},
      {"", 3, true, -1, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.data);
    ReplyRecord r;
    SplitFields(c.data, r);
    const TaxAnswer a = DecodeTaxAnswer(r, c.group, c.extended);
    EXPECT_EQ(a.type, c.type);
    EXPECT_EQ(a.linked, c.linked);
  }
  EXPECT_EQ(LinkedGroupValue(0, 0), -1);
  EXPECT_EQ(LinkedGroupValue(0, 1), 1);
  EXPECT_EQ(LinkedGroupValue(3, -1), -1);
}

TEST(TaxIdNumbers, TrailingSeparatorsAreNotNumbers) {
  const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
      {"123456789012;1234567890123;", "123456789012", "1234567890123"},
      {";;", "", ""},
      {"123456789012;;", "123456789012", ""},
      {";1234567890123;", "", "1234567890123"},
      {"", "", ""},
  };
  for (const auto& [data, id, tax] : cases) {
    SCOPED_TRACE(data);
    ReplyRecord r;
    SplitFields(data, r);
    EXPECT_EQ(TaxIdFields(r), std::make_pair(id, tax));
  }
}

TEST(ExtendedForm, LengthRules) {
  const std::string fiscal_bad = "Неверная длина фискального номера, исправьте!";
  const std::string id_bad = "Неверный длина идентификационного номера, исправьте!";
  const std::string tax_bad = "Неверный длина налогового номера, исправьте!";
  struct Case {
    std::string fiscal, id, tax;
    bool program_fiscal, program_ids;
    std::string error;
  };
  const std::vector<Case> cases = {
      {"", "", "", true, true, ""},
      {"1234567890", "123456789012", "1234567890123", true, true, ""},
      {"1234567890", "123456789012", "123456789012", true, true, ""},
      {"123456789", "", "", true, true, fiscal_bad},
      {"123456789", "", "", false, true, ""},  // not being programmed
      {"", "12345678901", "", true, true, id_bad},
      {"", "", "12345678901234", true, true, tax_bad},
      {"", "", "12345678901", false, false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fiscal + "/" + c.id + "/" + c.tax);
    EXPECT_EQ(ExtendedLengthError(c.fiscal, c.id, c.tax, c.program_fiscal, c.program_ids), c.error);
  }
}

TEST(ProgrammingResult, ThreeOutcomes) {
  EXPECT_EQ(FiscalNumberOutcomeText(ProgramOutcome::kDone), "Фискальный номер - успешно.");
  EXPECT_EQ(RegistrationNumberOutcomeText(ProgramOutcome::kFailed),
            "Регистрационный номер - ошибка.");
  EXPECT_EQ(RegistrationNumberOutcomeText(ProgramOutcome::kSkipped),
            "Регистрационный номер - не программировался.");
  EXPECT_EQ(TaxRatesOutcomeText(ProgramOutcome::kSkipped),
            "Ставки налогов - не программировались.");
}

TEST(ModemState, StatusByte) {
  EXPECT_EQ(ModemStatusByte("A5"), 0xA5);
  EXPECT_EQ(ModemStatusByte("5"), 0x50);
  EXPECT_EQ(ModemStatusByte(""), 0x00);
  EXPECT_EQ(ModemStatusByte("a5"), 0x05);  // lower case counts as 0
  EXPECT_EQ(ModemStatusByte("FFx"), 0xFF);
  EXPECT_EQ(kModemStatusBits[2], "Блокировка по неотправке док. 72 час");
}

TEST(ModemState, DirectTexts) {
  testing::FakeRegister reg;
  TheEngine().SetTransport(&reg);
  GetModemState("406172", true);
  GetModemState("1", false);
  GetLastAcquirerSession("406172");
  TheEngine().SetTransport(nullptr);
  EXPECT_EQ(reg.sent, (std::vector<testing::SentCommand>{
                          {234, "406172;1;"}, {234, "1;0;"}, {252, "406172;"}}));
}

TEST(FreeText, NoSeparatorNorControlCharacters) {
  for (std::string good : {"", "ПДВ_А", "12345678", "a b"})
    EXPECT_TRUE(IsFreeText(good)) << good;
  for (const std::string& bad :
       std::vector<std::string>{"1;2", ";", "a\tb", "a\nb", std::string("a\0b", 3), "\x7f"})
    EXPECT_FALSE(IsFreeText(bad)) << bad;
  EXPECT_EQ(CheckFreeText("1;2", "ID_DEV"),
            "Поле \"ID_DEV\" не может содержать символ \";\" и управляющие символы. Ошибка!");
  EXPECT_EQ(CheckFreeText("12", "ID_DEV"), "");
}

}  // namespace
}  // namespace tolvanet
