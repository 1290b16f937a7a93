#include "sim/terminal_message.h"

#include <stdexcept>

namespace tolvanet::sim::terminal_message {

std::string Frame(std::string_view body) {
  if (body.size() > kMaxBody)
    throw std::length_error("a terminal message body holds at most 65535 bytes");
  const auto length = static_cast<unsigned>(body.size());
  std::string out;
  out.reserve(2 + body.size());
  out.push_back(static_cast<char>(length / 256));
  out.push_back(static_cast<char>(length % 256));
  out.append(body);
  return out;
}

void Reader::Feed(std::string_view bytes, std::vector<std::string>& bodies) {
  held_.append(bytes);
  std::size_t at = 0;
  for (;;) {
    if (held_.size() - at < 2)
      break;
    const std::size_t length =
        static_cast<unsigned char>(held_[at]) * 256u + static_cast<unsigned char>(held_[at + 1]);
    if (held_.size() - at - 2 < length)
      break;
    bodies.emplace_back(held_, at + 2, length);
    at += 2 + length;
  }
  held_.erase(0, at);
}

std::string TaggedBody(const std::vector<Field>& fields, bool final_fs) {
  std::string body(1, kStx);
  for (const Field& f : fields) {
    body += f.first;
    body += '=';
    body += f.second;
    body += kFs;
  }
  if (!final_fs && !fields.empty())
    body.pop_back();
  return body;
}

std::optional<std::string> Tag(std::string_view body, std::string_view tag) {
  if (!body.empty() && body.front() == kStx)
    body.remove_prefix(1);
  while (true) {
    const std::size_t fs = body.find(kFs);
    const std::string_view field = body.substr(0, fs);
    if (field.size() > tag.size() && field.compare(0, tag.size(), tag) == 0 &&
        field[tag.size()] == '=')
      return std::string(field.substr(tag.size() + 1));
    if (fs == std::string_view::npos)
      return std::nullopt;
    body.remove_prefix(fs + 1);
  }
}

}  // namespace tolvanet::sim::terminal_message
