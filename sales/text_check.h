// Checks of free texts before they go into a command text: a ";" would start another field and
// a control byte would break the frame, so such a text is refused before anything is sent.
#pragma once

#include <string>
#include <string_view>

namespace tolvanet::sales {

// The message (UTF-8) that refuses `text` (Windows-1251) for the input named `label`, or empty
// when it may be sent. With `allow_separator` a ";" is allowed (a line with fields of its own).
std::string FieldTextError(std::string_view text, std::string_view label,
                           bool allow_separator = false);

}  // namespace tolvanet::sales
