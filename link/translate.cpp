#include "link/translate.h"

#include <libintl.h>
#include <unistd.h>

#include <array>
#include <clocale>
#include <cstdlib>
#include <mutex>

namespace tolvanet {

namespace {

constexpr char kDomain[] = "tolvanet";

struct LanguageState {
  std::mutex mutex;
  std::string code = kOriginalLanguage;
  std::string locale_dir;
};

LanguageState& State() {
  static LanguageState state;
  return state;
}

// Read by Tr on every call: set once a program has chosen a language other than the original.
bool g_translating = false;

bool IsCLocale(std::string_view locale) {
  return locale.empty() || locale == "C" || locale == "POSIX";
}

// Makes gettext look in `code`'s catalogue: LANGUAGE names it, and the messages locale must
// not be "C" (the C library then ignores LANGUAGE). The user's own messages locale is kept
// when the system has it; else C.UTF-8, which every system has.
void Apply(const std::string& code) {
  if (code == kOriginalLanguage) {
    g_translating = false;
    return;
  }
  setenv("LANGUAGE", code.c_str(), 1);
  const char* now = std::setlocale(LC_MESSAGES, "");
  if (now == nullptr || IsCLocale(now))
    now = std::setlocale(LC_MESSAGES, "C.UTF-8");
  if (now == nullptr)
    std::setlocale(LC_MESSAGES, "C.utf8");
  // Each setlocale call above also makes gettext forget the translations it looked up before.
  g_translating = true;
}

}  // namespace

const char* Tr(const char* text) {
  if (text == nullptr || *text == '\0' || !g_translating)
    return text;  // gettext would answer "" with the catalogue's header
  return dgettext(kDomain, text);
}

std::string TrText(std::string_view text) {
  if (text.empty())
    return {};
  const std::string key(text);
  return Tr(key.c_str());
}

std::string TrArgs(std::string_view pattern, std::initializer_list<std::string_view> args) {
  std::string out;
  out.reserve(pattern.size() + 16);
  // The text between the marks goes over whole; a "%" not followed by "%" or a digit is text.
  std::size_t done = 0;
  for (std::size_t at = pattern.find('%'); at != std::string_view::npos && at + 1 < pattern.size();
       at = pattern.find('%', at)) {
    const char n = pattern[at + 1];
    if (n != '%' && (n < '1' || n > '9')) {
      ++at;
      continue;
    }
    out.append(pattern, done, at - done);
    if (n == '%') {
      out += '%';
    } else if (const auto index = static_cast<std::size_t>(n - '1'); index < args.size()) {
      out += *(args.begin() + index);
    }
    at += 2;
    done = at;
  }
  out.append(pattern, done);
  return out;
}

bool IsInterfaceLanguage(std::string_view code) {
  return code == "ru" || code == "uk" || code == "en";
}

std::string LanguageOfLocale(std::string_view locale) {
  if (IsCLocale(locale) || locale.starts_with("C.") || locale.starts_with("POSIX."))
    return kOriginalLanguage;
  const std::string_view language = locale.substr(0, locale.find_first_of("_.@"));
  return IsInterfaceLanguage(language) ? std::string(language) : std::string();
}

std::string LanguageFromEnvironment(const std::function<const char*(const char*)>& getenv) {
  auto value = [&getenv](const char* name) {
    const char* v = getenv(name);
    return std::string_view(v != nullptr ? v : "");
  };
  std::string_view messages_locale;
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    messages_locale = value(name);
    if (!messages_locale.empty())
      break;
  }
  if (!IsCLocale(messages_locale)) {
    std::string_view list = value("LANGUAGE");
    while (!list.empty()) {
      const size_t colon = list.find(':');
      const std::string language = LanguageOfLocale(list.substr(0, colon));
      if (!language.empty())
        return language;
      list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
    }
  }
  const std::string language = LanguageOfLocale(messages_locale);
  return language.empty() ? std::string(kOriginalLanguage) : language;
}

std::string LocaleDirectory() {
  std::array<char, 4096> buffer{};
  const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0)
    return "/usr/share/locale";
  std::string exe(buffer.data(), static_cast<size_t>(n));
  const size_t slash = exe.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : exe.substr(0, slash);
  return dir + "/../share/locale";
}

bool UseLanguage(std::string_view code, const std::string& locale_dir) {
  if (!IsInterfaceLanguage(code))
    return false;
  LanguageState& state = State();
  std::lock_guard lock(state.mutex);
  state.code = std::string(code);
  state.locale_dir = locale_dir;
  bindtextdomain(kDomain, locale_dir.c_str());
  bind_textdomain_codeset(kDomain, "UTF-8");
  Apply(state.code);
  return true;
}

void ReapplyLanguage() {
  LanguageState& state = State();
  std::lock_guard lock(state.mutex);
  Apply(state.code);
}

std::string LanguageInUse() {
  LanguageState& state = State();
  std::lock_guard lock(state.mutex);
  return state.code;
}

std::string LanguageDisplayName() {
  const std::string code = LanguageInUse();
  if (code == "uk")
    return "uk (українська)";
  if (code == "en")
    return "en (English)";
  return "ru (русский, исходные тексты)";
}

}  // namespace tolvanet
