// Choosing the interface language and looking texts up in the built catalogues.
#include "link/translate.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

#include "app/language.h"
#include "link/decimal.h"
#include "link/engine.h"
#include "link/free_text.h"

namespace tolvanet {
namespace {

// Puts the original texts back after a test that chose a language, whatever it asserted.
struct OriginalAfterwards {
  ~OriginalAfterwards() { UseLanguage(kOriginalLanguage, TOLVANET_LOCALE_DIR); }
};

TEST(LanguageOfLocaleTest, TakesTheLanguagePartOfALocaleName) {
  const std::pair<const char*, const char*> cases[] = {
      {"uk_UA.UTF-8", "uk"},
      {"uk", "uk"},
      {"en_GB.UTF-8@euro", "en"},
      {"en_US", "en"},
      {"ru_RU.CP1251", "ru"},
      {"C", "ru"},
      {"POSIX", "ru"},
      {"C.UTF-8", "ru"},
      {"", "ru"},
      {"de_DE.UTF-8", ""},
      {"ukr", ""},
      {"e", ""},
  };
  for (const auto& [locale, language] : cases)
    EXPECT_EQ(LanguageOfLocale(locale), language) << locale;
}

TEST(TrArgsTest, PutsTheArgumentsInPlaceOfTheirMarks) {
  const std::pair<const char*, const char*> cases[] = {
      {"%1 и %2", "a и b"},     {"%2%1", "ba"}, {"100%% от %1", "100% от a"},
      {"%3 нет", " нет"},        // a mark without its argument stands for nothing
      {"50% и %x", "50% и %x"},  // a "%" that is no mark is text
      {"конец %", "конец %"},   {"%", "%"},     {"", ""},
      {"%1%1%%%2", "aa%b"},
  };
  for (const auto& [pattern, expected] : cases)
    EXPECT_EQ(TrArgs(pattern, {"a", "b"}), expected) << pattern;
}

TEST(LanguageFromEnvironmentTest, FollowsTheUsualPrecedenceOfTheLocaleVariables) {
  using Env = std::map<std::string, std::string>;
  const std::pair<Env, const char*> cases[] = {
      {{}, "ru"},
      {{{"LANG", "uk_UA.UTF-8"}}, "uk"},
      {{{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "uk_UA.UTF-8"}}, "uk"},
      {{{"LC_MESSAGES", "uk_UA.UTF-8"}, {"LC_ALL", "en_US.UTF-8"}}, "en"},
      {{{"LANG", "uk_UA.UTF-8"}, {"LANGUAGE", "en"}}, "en"},
      // The first language of the list that the interface has.
      {{{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "de:fr_FR:uk:en"}}, "uk"},
      {{{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "de"}}, "ru"},
      // Under the C locale LANGUAGE counts for nothing, as for every program of the system.
      {{{"LANGUAGE", "uk"}}, "ru"},
      {{{"LANGUAGE", "uk"}, {"LC_ALL", "C"}, {"LANG", "en_US.UTF-8"}}, "ru"},
      {{{"LANGUAGE", "uk"}, {"LANG", "C.UTF-8"}}, "uk"},
      // An empty variable is no setting.
      {{{"LC_ALL", ""}, {"LANG", "en_US.UTF-8"}, {"LANGUAGE", ""}}, "en"},
      {{{"LANG", "fr_FR.UTF-8"}}, "ru"},
  };
  for (const auto& c : cases) {
    const auto& env = c.first;
    const auto& language = c.second;
    const std::string got = LanguageFromEnvironment([&env](const char* name) -> const char* {
      const auto it = env.find(name);
      return it == env.end() ? nullptr : it->second.c_str();
    });
    std::string shown;
    for (const auto& [k, v] : env)
      shown += k + "=" + v + " ";
    EXPECT_EQ(got, language) << shown;
  }
}

TEST(ScanOptionTest, FindsTheOptionAsTheParsersTakeIt) {
  struct Case {
    std::vector<const char*> argv;
    std::optional<std::string> lang;
  };
  const Case cases[] = {
      {{"p"}, std::nullopt},
      {{"p", "--lang", "uk"}, "uk"},
      {{"p", "--lang=en", "status"}, "en"},
      {{"p", "--lang", "uk", "--lang=en"}, "en"},  // the last one wins
      {{"p", "--lang"}, ""},                       // the parser names the missing value
      {{"p", "--", "--lang", "uk"}, std::nullopt},
      {{"p", "--language", "uk"}, std::nullopt},
      {{"p", "send", "33", "--lang"}, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ScanOption(static_cast<int>(c.argv.size()), c.argv.data(), "--lang"), c.lang)
        << c.argv.size();
  }
}

class ChooseLanguageTest : public ::testing::Test {
 protected:
  ChooseLanguageTest() {
    dir = std::filesystem::temp_directory_path() /
          ("tolvanet_lang_" +
           std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(dir);
    setenv("LANG", "en_US.UTF-8", 1);
    unsetenv("LC_ALL");
  }
  ~ChooseLanguageTest() override {
    std::filesystem::remove_all(dir);
    setenv("LC_ALL", "C.UTF-8", 1);
    unsetenv("LANG");
  }
  std::string Config(const std::string& text) {
    const auto path = dir / "fpinit.ini";
    std::ofstream(path) << text;
    return path.string();
  }
  std::filesystem::path dir;
};

TEST_F(ChooseLanguageTest, OptionOverridesTheConfigurationWhichOverridesTheEnvironment) {
  const std::string with_key = Config("[Interface]\r\nLanguage=uk\r\n");
  const std::string without_key = (dir / "none.ini").string();
  struct Case {
    std::optional<std::string> option;
    std::string config;
    const char* language;
  };
  const Case cases[] = {
      {std::nullopt, "", "en"},       {std::nullopt, without_key, "en"},
      {std::nullopt, with_key, "uk"}, {"ru", with_key, "ru"},
      {"EN", with_key, "en"},
  };
  for (const auto& c : cases) {
    std::ostringstream err;
    EXPECT_EQ(ChooseLanguage(c.option, c.config, err), c.language) << c.option.value_or("-");
    EXPECT_EQ(err.str(), "");
  }
}

TEST_F(ChooseLanguageTest, AnUnknownValueIsNamedAndGivesTheOriginalTexts) {
  const std::pair<std::optional<std::string>, std::string> cases[] = {
      {"de", ""},
      {"", ""},
      {std::nullopt, Config("[Interface]\nLanguage=ukr\n")},
  };
  for (const auto& [option, config] : cases) {
    std::ostringstream err;
    EXPECT_EQ(ChooseLanguage(option, config, err), "ru");
    EXPECT_NE(err.str().find("uk, en or ru"), std::string::npos) << err.str();
  }
}

TEST(TrTest, GivesTheOriginalTextsUntilALanguageIsChosenWhateverTheLocale) {
  setenv("LANGUAGE", "uk", 1);
  setenv("LC_ALL", "uk_UA.UTF-8", 1);
  EXPECT_STREQ(Tr("Неверный пароль доступа!"), "Неверный пароль доступа!");
  EXPECT_EQ(LanguageInUse(), "ru");
  unsetenv("LANGUAGE");
  setenv("LC_ALL", "C.UTF-8", 1);
}

// A few texts of each kind in each language, from the built catalogues.
TEST(TrTest, LooksTextsUpInTheCatalogueOfTheChosenLanguage) {
  OriginalAfterwards restore;
  struct Case {
    const char* language;
    const char* original;
    const char* shown;
  };
  const Case cases[] = {
      {"uk", "Неверный пароль доступа!", "Невірний пароль доступу!"},
      {"en", "Неверный пароль доступа!", "Wrong access password!"},
      {"uk", "О программе Tolvan", "Про програму Tolvan"},
      {"en", "О программе Tolvan", "About Tolvan"},
      {"ru", "Неверный пароль доступа!", "Неверный пароль доступа!"},
      // No translation: the original.
      {"uk", "Текст, которого нет в каталоге", "Текст, которого нет в каталоге"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(UseLanguage(c.language, TOLVANET_LOCALE_DIR));
    EXPECT_EQ(LanguageInUse(), c.language);
    EXPECT_STREQ(Tr(c.original), c.shown) << c.language;
    EXPECT_EQ(TrText(c.original), c.shown) << c.language;
  }
  EXPECT_FALSE(UseLanguage("de", TOLVANET_LOCALE_DIR));
  EXPECT_EQ(LanguageInUse(), "uk");  // as it was
}

// The link's composed messages: each language puts the value where its sentence needs it, and a
// value that looks like a placeholder stays as typed.
TEST(TrTest, ComposedLinkMessagesCarryTheirValuesInEachLanguage) {
  OriginalAfterwards restore;
  struct Case {
    const char* language;
    std::string (*message)();
    const char* shown;
  };
  auto not_a_number = [] { return NotANumberMessage("12,5x"); };
  auto placeholder = [] { return ParseInteger("%2", 0, 9).error; };
  auto out_of_range = [] { return ParseInteger("12", 0, 9).error; };
  auto negative = [] { return ParseDecimal(" -1.5 ", 2, DecimalRule::kNonNegative).error; };
  auto free_text = [] { return CheckFreeText("a;b", "Пароль"); };
  auto too_long = [] {
    Engine engine;
    engine.ExecuteCommand(97, std::string(220, 'x'));
    return engine.refusal();
  };
  const Case cases[] = {
      {"ru", not_a_number, "\"12,5x\" не является числом."},
      {"uk", not_a_number, "\"12,5x\" не є числом."},
      {"en", not_a_number, "\"12,5x\" is not a number."},
      {"ru", placeholder, "\"%2\" не является целым числом."},
      {"en", placeholder, "\"%2\" is not a whole number."},
      {"ru", out_of_range, "Значение \"12\" вне допустимых пределов (0..9)."},
      {"uk", out_of_range, "Значення \"12\" поза допустимими межами (0..9)."},
      {"en", out_of_range, "The value \"12\" is out of range (0..9)."},
      {"ru", negative, "Значение \"-1.5\" не может быть отрицательным."},
      {"en", negative, "The value \"-1.5\" cannot be negative."},
      // The caption comes in the original and is shown in the language too.
      {"ru", free_text,
       "Поле \"Пароль\" не может содержать символ \";\" и управляющие символы. Ошибка!"},
      {"en", free_text,
       "The field \"Password\" cannot contain the character \";\" or control characters. Error!"},
      {"ru", too_long, "Команда не отправлена: текст команды длиннее 219 байт (220)."},
      {"uk", too_long, "Команду не надіслано: текст команди довший за 219 байт (220)."},
      {"en", too_long, "Command not sent: the command text is longer than 219 bytes (220)."},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(UseLanguage(c.language, TOLVANET_LOCALE_DIR));
    EXPECT_EQ(c.message(), c.shown) << c.language;
  }
}

}  // namespace
}  // namespace tolvanet
