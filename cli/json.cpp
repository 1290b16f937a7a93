#include "cli/json.h"

#include <cstdio>

#include "link/codepage.h"
#include "link/hex.h"

namespace tolvanet::cli {

std::string JsonString(std::string_view utf8) {
  std::string out = "\"";
  for (unsigned char c : utf8) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04X", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string ReplyJson(const ReplyRecord& reply, const std::string& message) {
  const int sequence =
      reply.sent_frame.size() > 2 ? static_cast<unsigned char>(reply.sent_frame[2]) : 0;
  std::string out = "{\"code\":" + std::to_string(reply.command_code);
  out += ",\"sequence\":" + std::to_string(sequence);
  out += ",\"flags\":" + std::to_string(reply.status_flags);
  out += ",\"error\":" + JsonString(FromCp1251(reply.error_code));
  out += ",\"message\":" + JsonString(message);
  out += ",\"fields\":[";
  for (int i = 0; i < reply.field_count; ++i) {
    if (i > 0)
      out += ',';
    out += JsonString(FromCp1251(reply.Field(i)));
  }
  out += "],\"status\":[";
  for (std::size_t i = 0; i < reply.status_bytes.size(); ++i) {
    if (i > 0)
      out += ',';
    out += std::to_string(reply.status_bytes[i]);
  }
  out += "],\"checksum_error\":";
  out += reply.checksum_error ? "true" : "false";
  out += ",\"timeout\":";
  out += reply.NoAnswer() ? "true" : "false";
  out += ",\"sent\":" + JsonString(HexEncode(reply.sent_frame));
  out += ",\"received\":" + JsonString(HexEncode(reply.raw_answer));
  return out + "}";
}

}  // namespace tolvanet::cli
