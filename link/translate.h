// The interface's texts in the operator's language. The texts written in the code are the
// original interface and serve as the keys of the catalogues (po/*.po): Tr looks one up in the
// catalogue of the language in use and gives it back unchanged when there is no translation or
// the original interface is chosen. Never pass a text that goes to the register, into a file
// or into the session log through these.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace tolvanet {

// The text in the interface's language (UTF-8). The result lives as long as the program.
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

}  // namespace tolvanet
