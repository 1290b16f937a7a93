// The network settings file reader on arbitrary files: a refusal with its message, or eight
// fields that are the file's first eight lines and fit their boxes. Fields the write accepts
// give a command text of eight plain fields that reads back, through the answer decoder, as
// the same text.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "link/codepage.h"
#include "link/free_text.h"
#include "link/reply.h"
#include "settings/network.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tolvanet;
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  const NetworkFileResult file = ParseNetworkSettingsFile(content);
  if (!file.fields) {
    FUZZ_CHECK(!file.error.empty() && IsValidUtf8(file.error));
    return 0;
  }
  FUZZ_CHECK(file.error.empty());
  const NetworkFields& f = *file.fields;

  // The eight lines, each without its LF and one CR before it.
  std::string_view rest = content;
  std::string_view lines[8];
  for (auto& line : lines) {
    const std::size_t end = rest.find('\n');
    line = rest.substr(0, end);
    if (!line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
  }
  FUZZ_CHECK(f.dhcp == (lines[0].empty() || lines[0][0] != '0'));
  const std::string* boxes[] = {&f.ip,   &f.mask,   &f.gateway, &f.destination,
                                &f.port, &f.period, &f.retry};
  for (int i = 0; i < 7; ++i) {
    FUZZ_CHECK(*boxes[i] == lines[i + 1]);
    FUZZ_CHECK(boxes[i]->size() <= (i < 4 ? kAddressBoxLength : kNumberBoxLength));
  }

  const NetworkWriteText write = BuildNetworkWriteText(f);
  if (!write.error.empty()) {
    FUZZ_CHECK(write.text.empty());
    // The message may quote a box; the boxes of the window always hold UTF-8.
    bool boxes_utf8 = true;
    for (const std::string* box : boxes)
      boxes_utf8 = boxes_utf8 && IsValidUtf8(*box);
    if (boxes_utf8)
      FUZZ_CHECK(IsValidUtf8(write.error));
    return 0;
  }
  // "d;AAAAAAAA;MMMMMMMM;GGGGGGGG;DDDDDDDD;PPPP;NNNN;RRRR;"
  FUZZ_CHECK(write.text.size() == 2 + 4 * 9 + 3 * 5);
  FUZZ_CHECK(IsFieldsText(write.text));
  ReplyRecord reply;
  SplitFields(write.text, reply);
  FUZZ_CHECK(reply.field_count == 8);
  for (int i = 0; i < 8; ++i)
    FUZZ_CHECK(IsFreeText(reply.Field(i)));
  const std::optional<NetworkFields> back = DecodeNetworkReply(reply);
  FUZZ_CHECK(back.has_value());
  FUZZ_CHECK(back->dhcp == f.dhcp);
  FUZZ_CHECK(BuildNetworkWriteText(*back).text == write.text);
  return 0;
}
