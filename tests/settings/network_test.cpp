// Network settings and ID_DEV: the hexadecimal codecs, the write text, the read decoding, the
// settings file, and the commands' texts.
#include "settings/network.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "link/decimal.h"
#include "link/engine.h"
#include "link/frame.h"
#include "tests/script/fake_register.h"

namespace tolvanet {
namespace {

using testing::FakeAnswer;
using testing::FakeRegister;
using testing::SentCommand;

NetworkFields Sample() {
  return {false, "192.168.0.10", "255.255.255.0", "192.168.0.1", "10.0.0.5", "5000", "60", "30"};
}

TEST(NetworkCodecs, AddressesBothWays) {
  struct Case {
    std::string dotted;
    std::optional<std::string> hex;
  };
  const std::vector<Case> cases = {
      {"192.168.0.10", "C0A8000A"}, {"255.255.255.0", "FFFFFF00"},
      {"0.0.0.0", "00000000"},      {"010.0.0.5", "0A000005"},
      {"1.2.3.4.5", std::nullopt},  {"256.0.0.1", std::nullopt},
      {"192..0.1", std::nullopt},   {".1.2.3", std::nullopt},
      {"1.2.3.", std::nullopt},     {"1.2.3", std::nullopt},
      {"", std::nullopt},           {"1.2.3.-4", std::nullopt},
      {"1.2.3. 4", std::nullopt},   {"0001.2.3.4", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dotted);
    EXPECT_EQ(EncodeAddress(c.dotted), c.hex);
    if (c.hex && c.dotted[0] != '0') {
      EXPECT_EQ(DecodeAddress(*c.hex), c.dotted);
    }
  }
  for (std::string bad : {"c0a8000a", "C0A8000", "C0A8000A0", "C0A8 00A", ""}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(DecodeAddress(bad), std::nullopt);
  }
}

TEST(NetworkCodecs, SixteenBitLowByteFirst) {
  const std::vector<std::pair<std::uint16_t, std::string>> cases = {
      {5000, "8813"}, {60, "3C00"}, {30, "1E00"}, {65535, "FFFF"}, {0, "0000"}, {256, "0001"}};
  for (const auto& [value, hex] : cases) {
    EXPECT_EQ(Encode16(value), hex);
    EXPECT_EQ(Decode16(hex), value);
  }
  for (std::string bad : {"88l3", "8813 ", "881", "", "a813"})
    EXPECT_EQ(Decode16(bad), std::nullopt) << bad;
}

TEST(NetworkWrite, TextOrTheBoxMessage) {
  EXPECT_EQ(BuildNetworkWriteText(Sample()).text,
            "0;C0A8000A;FFFFFF00;C0A80001;0A000005;8813;3C00;1E00;");
  struct Case {
    std::function<void(NetworkFields&)> change;
    std::string text;   // expected text ("" when refused)
    std::string error;  // expected message
  };
  const std::vector<Case> cases = {
      {[](NetworkFields& f) { f.dhcp = true; },
       "1;C0A8000A;FFFFFF00;C0A80001;0A000005;8813;3C00;1E00;", ""},
      {[](NetworkFields& f) { f.port = "65535"; },
       "0;C0A8000A;FFFFFF00;C0A80001;0A000005;FFFF;3C00;1E00;", ""},
      {[](NetworkFields& f) { f.gateway = "1.2.3.4.5"; }, "", std::string(kBadAddressMessage)},
      {[](NetworkFields& f) { f.destination = "256.0.0.1"; }, "", std::string(kBadAddressMessage)},
      {[](NetworkFields& f) { f.ip = "192..0.1"; }, "", std::string(kBadAddressMessage)},
      {[](NetworkFields& f) { f.port = "65536"; }, "", std::string(kBadPortMessage)},
      {[](NetworkFields& f) { f.port = "-1"; }, "", std::string(kBadPortMessage)},
      {[](NetworkFields& f) { f.port = "99999999999999999999"; }, "", std::string(kBadPortMessage)},
      {[](NetworkFields& f) { f.period = "65536"; }, "", std::string(kBadPeriodMessage)},
      {[](NetworkFields& f) { f.retry = "-1"; }, "", std::string(kBadRetryMessage)},
      {[](NetworkFields& f) { f.retry = "3x"; }, "", NotAnIntegerMessage("3x")},
      {[](NetworkFields& f) { f.period = ""; }, "", NotAnIntegerMessage("")},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    NetworkFields f = Sample();
    cases[i].change(f);
    const NetworkWriteText w = BuildNetworkWriteText(f);
    EXPECT_EQ(w.text, cases[i].text);
    EXPECT_EQ(w.error, cases[i].error);
  }
}

TEST(NetworkRead, AllFieldsOrNone) {
  const std::string good = "0;C0A8000A;FFFFFF00;C0A80001;0A000005;8813;3C00;1E00;";
  struct Case {
    std::string data;
    std::optional<NetworkFields> fields;
  };
  NetworkFields on = Sample();
  on.dhcp = true;
  const std::vector<Case> cases = {
      {good, Sample()},
      {"1" + good.substr(1), on},
      {"x" + good.substr(1), on},  // anything but "0" is on
      {"0;c0a8000a;FFFFFF00;C0A80001;0A000005;8813;3C00;1E00;", std::nullopt},
      {"0;C0A8000A;FFFFFF00;C0A80001;0A000005;8813;3C00;", std::nullopt},  // retry missing
      {"0;C0A8000A;FFFFFF00;C0A80001;0A000005;881;3C00;1E00;", std::nullopt},
      {"0;C0A8000A;FFFFFF00;C0A80001;0A000005;8813;3c00;1E00;", std::nullopt},
      {"", std::nullopt},
      // Only the first 8 or 4 characters of a field are read: what a firmware adds after
      // them changes nothing, a bad character among them still stops the read.
      {"0;C0A8000A0;FFFFFF00;C0A80001;0A000005;8813;3C00;1E00;", Sample()},
      {"0;C0A8000A;FFFFFF00x;C0A80001;0A000005;8813 ;3C00;1E00zz;", Sample()},
      {"0;C0A8000A;FFFFFF00;C0A80001;0A000005;8813;3C00;1E000;", Sample()},
      {"0;C0A8000;FFFFFF00;C0A80001;0A000005;8813;3C00;1E00;", std::nullopt},
      {"0;C0A8000A;FFFFFF00;C0A80001;0A000005;881x3;3C00;1E00;", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.data);
    ReplyRecord r;
    SplitFields(c.data, r);
    EXPECT_EQ(DecodeNetworkReply(r), c.fields);
  }
}

TEST(NetworkFile, EightLinesOrNothing) {
  NetworkFields on = Sample();
  on.dhcp = true;
  struct Case {
    std::string content;
    std::optional<NetworkFields> fields;
    std::string error;
  };
  const std::string body = "192.168.0.10\n255.255.255.0\n192.168.0.1\n10.0.0.5\n5000\n60\n30";
  const std::vector<Case> cases = {
      {"0\n" + body + "\n", Sample(), ""},
      {"0\n" + body, Sample(), ""},  // no line end after the last line
      {"1\n" + body + "\n", on, ""},
      {"yes\n" + body + "\nextra lines\nare ignored\n", on, ""},
      {"\n" + body + "\n", on, ""},
      {"0\r\n192.168.0.10\r\n255.255.255.0\r\n192.168.0.1\r\n10.0.0.5\r\n5000\r\n60\r\n30\r\n",
       Sample(), ""},
      {"0\n192.168.0.10\n255.255.255.0\n192.168.0.1\n10.0.0.5\n5000\n60\n", std::nullopt,
       "В файле параметров связи меньше восьми строк. Файл не загружен."},
      {"", std::nullopt, "В файле параметров связи меньше восьми строк. Файл не загружен."},
      {"0\n192.168.100.100.1\n" + body.substr(body.find('\n') + 1) + "\n", std::nullopt,
       "Строка 2 файла параметров связи длиннее 15 символов. Файл не загружен."},
      {"0\n" + body.substr(0, body.rfind('\n')) + "\n123456\n", std::nullopt,
       "Строка 8 файла параметров связи длиннее 5 символов. Файл не загружен."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.content);
    const NetworkFileResult r = ParseNetworkSettingsFile(c.content);
    EXPECT_EQ(r.fields, c.fields);
    EXPECT_EQ(r.error, c.error);
  }
}

TEST(NetworkFile, LoadsAFileAndNamesOneThatIsMissing) {
  const auto dir = std::filesystem::path(__FILE__).parent_path() / "data";
  EXPECT_EQ(LoadNetworkSettingsFile((dir / "network_crlf.txt").string()).fields, Sample());
  const std::string missing = (dir / "no_such_file.txt").string();
  const NetworkFileResult r = LoadNetworkSettingsFile(missing);
  EXPECT_FALSE(r.fields);
  EXPECT_NE(r.error.find(missing), std::string::npos);
}

TEST(IdDev, HexadecimalLabel) {
  EXPECT_EQ(IdDevHex("305419896"), "12345678");
  EXPECT_EQ(IdDevHex("1"), "00000001");
  EXPECT_EQ(IdDevHex("4294967295"), "FFFFFFFF");
  EXPECT_EQ(IdDevHex("4294967296"), std::nullopt);
  EXPECT_EQ(IdDevHex("12a"), std::nullopt);
  EXPECT_EQ(IdDevHex(""), std::nullopt);
  EXPECT_EQ(IdDevHexLabel("12345678"), "Значение ID_DEV (Hex):  12345678");
}

TEST(IdDev, OnlyDigitsOfAnUnsigned32BitValueMayBeSet) {
  for (std::string ok : {"0", "305419896", "4294967295", "0000000001"})
    EXPECT_EQ(CheckIdDev(ok), "") << ok;
  for (std::string bad :
       {"", "4294967296", "12a", "-1", "+1", " 1", "1 ", "1.0", "0x10", "18446744073709551617"}) {
    SCOPED_TRACE(bad);
    EXPECT_NE(CheckIdDev(bad).find("ID_DEV не установлен"), std::string::npos);
  }
}

TEST(NetworkCommands, DirectTexts) {
  FakeRegister reg;
  TheEngine().SetTransport(&reg);
  GetNetworkParams("406172");
  SetNetworkParams("406172", "0;C0A8000A;FFFFFF00;C0A80001;0A000005;8813;3C00;1E00;");
  GetIdDev("1");
  SetIdDev("406172", "305419896");
  TheEngine().SetTransport(nullptr);
  EXPECT_EQ(reg.sent, (std::vector<SentCommand>{
                          {250, "406172;"},
                          {251, "406172;0;C0A8000A;FFFFFF00;C0A80001;0A000005;8813;3C00;1E00;"},
                          {76, "1;"},
                          {75, "406172;305419896;"}}));
}

}  // namespace
}  // namespace tolvanet
