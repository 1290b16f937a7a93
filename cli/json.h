// The little JSON the command-line tool writes.
#pragma once

#include <string>
#include <string_view>

#include "link/reply.h"

namespace tolvanet::cli {

// A JSON string literal for UTF-8 text, quotes included.
std::string JsonString(std::string_view utf8);

// One line describing a device command's reply: code, sequence, flags, error, message,
// fields, status, checksum_error, timeout, sent, received.
std::string ReplyJson(const ReplyRecord& reply, const std::string& message);

}  // namespace tolvanet::cli
