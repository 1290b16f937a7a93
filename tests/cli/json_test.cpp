#include "cli/json.h"

#include <gtest/gtest.h>

#include "link/codepage.h"

namespace tolvanet::cli {
namespace {

TEST(JsonTest, StringsAreEscaped) {
  EXPECT_EQ(JsonString("a\"b\\c\n\r\t\x01\x7f Привет"),
            "\"a\\\"b\\\\c\\n\\r\\t\\u0001\\u007F Привет\"");
}

TEST(JsonTest, ReplyOfACommandThatWasNotAnswered) {
  ReplyRecord reply;
  reply.command_code = 33;
  reply.status_flags = status_bits::kNoAnswer;
  reply.sent_frame = std::string("\x01\x2b\x21\x21", 4);
  EXPECT_EQ(ReplyJson(reply, "Таймаут устройства! Ошибка!"),
            "{\"code\":33,\"sequence\":33,\"flags\":67108864,\"error\":\"\","
            "\"message\":\"Таймаут устройства! Ошибка!\",\"fields\":[],"
            "\"status\":[0,0,0,0,0,0],\"checksum_error\":false,\"timeout\":true,"
            "\"sent\":\"012B2121\",\"received\":\"\"}");
}

TEST(JsonTest, FieldsAreConvertedFromWindows1251) {
  ReplyRecord reply;
  reply.error_code = "0000";
  SplitFields(ToCp1251("Чек \"1\";2;"), reply);
  const std::string json = ReplyJson(reply, "");
  EXPECT_NE(json.find("\"fields\":[\"Чек \\\"1\\\"\",\"2\"]"), std::string::npos) << json;
}

}  // namespace
}  // namespace tolvanet::cli
