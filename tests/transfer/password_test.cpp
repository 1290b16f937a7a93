// The password is the first field of every transfer command: a ";" in it would move the
// address, count and data of the command that overwrites the fiscal memory, and a control byte
// would break the frame. Every loop refuses such a password before it sends or asks anything.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "link/commands.h"
#include "link/free_text.h"
#include "tests/transfer/transfer_fixture.h"

namespace tolvanet::transfer {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class TransferPasswordTest : public testing::TransferTest {};

TEST_F(TransferPasswordTest, ASemicolonOrControlBytePasswordSendsNothing) {
  Write(Path("restore.bin"), std::string(100, '\x55'));
  Picture picture{8, 8, std::vector<std::uint32_t>(64, 0)};
  const LogoLimits limits{384, 100, 4800};
  struct Loop {
    const char* what;
    std::function<Outcome(Transfer&, const std::string&)> run;
  };
  const Loop loops[] = {
      {"firmware read",
       [&](Transfer& t, const std::string& pw) {
         return t.ReadFirmware(pw, Path("fw.hex")).outcome;
       }},
      {"flash dump",
       [&](Transfer& t, const std::string& pw) {
         return t.DumpFlash(FlashRange{pw, 0, 100, Path("dump.bin")}, 2).outcome;
       }},
      {"flash restore",
       [&](Transfer& t, const std::string& pw) {
         return t.RestoreFlash(FlashRange{pw, 999, 50, Path("restore.bin")}).outcome;
       }},
      {"flash erase", [](Transfer& t, const std::string& pw) { return t.EraseFlash(pw).outcome; }},
      {"logo limits",
       [](Transfer& t, const std::string& pw) {
         return t.ReadLogoLimits(pw) ? Outcome::kDone : Outcome::kRefused;
       }},
      {"logo programming",
       [&](Transfer& t, const std::string& pw) {
         return t.ProgramLogo(pw, picture, 8, 8, limits).outcome;
       }},
  };
  const std::vector<std::string> passwords = {"1;999", "406172;",
                                              "40\x01"
                                              "6172",
                                              "4061\x7F"};
  for (const std::string& password : passwords) {
    for (const Loop& loop : loops) {
      SCOPED_TRACE(std::string(loop.what) + " with " + password);
      host_.messages.clear();
      host_.questions.clear();
      EXPECT_EQ(loop.run(transfer_, password), Outcome::kRefused);
      EXPECT_THAT(host_.messages, ElementsAre(FreeTextMessage("Пароль")));
      EXPECT_THAT(host_.questions, IsEmpty());
      EXPECT_THAT(Codes(), IsEmpty());
    }
  }
  EXPECT_FALSE(std::filesystem::exists(Path("fw.hex")));
  EXPECT_FALSE(std::filesystem::exists(Path("dump.bin")));
}

// Letters of the password travel as the register's code page: its bytes above 0x7F are no
// control bytes.
TEST_F(TransferPasswordTest, Windows1251LettersPass) {
  const std::string password = "\xEF\xE0\xF0\xEE\xEB\xFC";  // "пароль"
  transfer_.EraseFlash(password);
  EXPECT_THAT(Texts(cmd::kClearFlash), ElementsAre(password + ";"));
}

}  // namespace
}  // namespace tolvanet::transfer
