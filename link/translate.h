// The interface's texts in the operator's language. The texts written in the code are the
// original interface and serve as the keys of the catalogues (po/*.po): Tr looks one up in the
// catalogue of the language in use and gives it back unchanged when there is no translation or
// the original interface is chosen. Never pass a text that goes to the register, into a file
// or into the session log through these.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

namespace tolvanet {

// The text in the interface's language (UTF-8). The result lives as long as the program.
// Until a program chooses a language (UseLanguage), the original text.
const char* Tr(const char* text);

// Marks a text for the catalogue without translating it here: tables and constants keep the
// original text, and the place that shows it translates it with TrText.
constexpr const char* TrNoop(const char* text) {
  return text;
}

// Translates a text held elsewhere (a table entry marked with TrNoop, a constant).
std::string TrText(std::string_view text);

// Puts `args` in place of %1 … %9 of `pattern` (a translated text keeps its placeholders in the
// order its language needs). "%%" is a "%".
std::string TrArgs(std::string_view pattern, std::initializer_list<std::string_view> args);

// The languages of the interface, by their codes: "ru" (the original texts), "uk", "en".
inline constexpr char kOriginalLanguage[] = "ru";
bool IsInterfaceLanguage(std::string_view code);

// The language a locale setting names, when it is one of the interface's: "uk_UA.UTF-8" and
// "uk" give "uk", "C", "POSIX", "C.UTF-8" and "ru_RU" give "ru"; anything else gives "".
std::string LanguageOfLocale(std::string_view locale);

// The language the usual locale variables ask for, read through `getenv`: LANGUAGE (a list
// separated by ':', its first interface language), LC_ALL, LC_MESSAGES, LANG, in that
// precedence. As everywhere on the system, LANGUAGE counts only when the messages locale
// (LC_ALL, LC_MESSAGES, LANG) is not the C locale. The original language when nothing names
// one of the interface's.
std::string LanguageFromEnvironment(const std::function<const char*(const char*)>& getenv);

// The folder that holds the catalogues, <lang>/LC_MESSAGES/tolvanet.mo: share/locale beside
// the folder of the running program (build/bin → build/share/locale, /usr/bin →
// /usr/share/locale).
std::string LocaleDirectory();

// Switches the interface to `code` with the catalogues of `locale_dir`. False, leaving the
// language as it was, for a code that is no interface language.
bool UseLanguage(std::string_view code, const std::string& locale_dir = LocaleDirectory());

// Says the language again to the C library: a toolkit that resets the locale from the
// environment at its start (QApplication does) would otherwise undo UseLanguage.
void ReapplyLanguage();

// The code of the language in use ("ru" until a program chooses one).
std::string LanguageInUse();

// The language in use as --version and the About box name it: "uk (українська)".
std::string LanguageDisplayName();

}  // namespace tolvanet
