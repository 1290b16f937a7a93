// Texts of the fiscal windows' boxes as they go into a command text: Windows-1251, and refused
// with a message when they would shift the command's fields.
#pragma once

#include <QLineEdit>
#include <optional>
#include <string>
#include <string_view>

namespace tolvanet::ui {

// The box's text in Windows-1251, or nothing after a message when it holds ";" or a control
// character. `caption` names the box in the message.
std::optional<std::string> FieldText(const QLineEdit* box, std::string_view caption);

}  // namespace tolvanet::ui
