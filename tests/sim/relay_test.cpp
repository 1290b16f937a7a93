// The relay side: registration, framing over TCP, fault switches and the request record.
#include <asio.hpp>

#include "link/frame.h"
#include "sim/fault_option.h"
#include "sim/request_parser.h"
#include "sim_fixture.h"

namespace tolvanet::sim::testing {
namespace {

using asio::ip::tcp;

// A bare TCP client for what the core's link never sends (split and packed frames).
class RawClient {
 public:
  explicit RawClient(std::uint16_t port) : socket_(io_) {
    socket_.connect(tcp::endpoint(asio::ip::make_address("127.0.0.1"), port));
    socket_.set_option(tcp::no_delay(true));
  }
  void Send(std::string_view bytes) {
    asio::write(socket_, asio::buffer(bytes.data(), bytes.size()));
  }
  // Reads until `n` bytes came or the peer closed.
  std::string Read(std::size_t n) {
    std::string out(n, '\0');
    std::error_code ec;
    const std::size_t got = asio::read(socket_, asio::buffer(out), ec);
    out.resize(got);
    return out;
  }
  // True when the peer closed the connection.
  bool Closed() {
    char c;
    std::error_code ec;
    socket_.read_some(asio::buffer(&c, 1), ec);
    return ec == asio::error::eof || ec == asio::error::connection_reset;
  }

 private:
  asio::io_context io_;
  tcp::socket socket_;
};

std::string Registration(std::string_view id) {
  return RegistrationMessage(id);
}

std::string WireFrame(std::uint8_t seq, std::uint8_t code, std::string_view text) {
  return BuildRequestFrame(seq, code, text) + std::string(1, '\0');
}

TEST(RequestParserTest, CutsFramesOutOfAnyPieces) {
  const std::string one = WireFrame(0x21, 0x80, "406172;");
  const std::string two = WireFrame(0x22, 0x21, "406172;");
  std::string bad = BuildRequestFrame(0x23, 0x42, "406172;");
  bad[bad.size() - 2] ^= 0x01;
  std::string broken = BuildRequestFrame(0x24, 0x42, "406172;");
  broken[broken.size() - 6] = 'X';  // the post-amble is gone

  RequestParser parser;
  std::vector<RequestFrame> out;
  const std::string stream = one + two + bad + broken + one;
  for (char c : stream)
    parser.Feed(std::string_view(&c, 1), out);  // one byte at a time
  ASSERT_EQ(out.size(), 5u);
  EXPECT_EQ(out[0].kind, RequestFrame::Kind::kFrame);
  EXPECT_EQ(out[0].code, 0x80);
  EXPECT_EQ(out[0].sequence, 0x21);
  EXPECT_EQ(out[0].text, "406172;");
  EXPECT_EQ(out[1].code, 0x21);
  EXPECT_EQ(out[2].kind, RequestFrame::Kind::kBadChecksum);
  EXPECT_EQ(out[3].kind, RequestFrame::Kind::kBroken);
  EXPECT_EQ(out[4].kind, RequestFrame::Kind::kFrame);

  out.clear();
  parser.Feed(stream, out);  // all at once
  EXPECT_EQ(out.size(), 5u);
}

TEST(RequestParserTest, TextBytesThatLookLikeControlBytesStayText) {
  const std::string text = std::string("a\x01\x03\x05;b", 6);
  RequestParser parser;
  std::vector<RequestFrame> out;
  parser.Feed(WireFrame(0x21, 0x61, text), out);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].kind, RequestFrame::Kind::kFrame);
  EXPECT_EQ(out[0].text, text);
}

class RelayTest : public SimTest {};

TEST_F(RelayTest, RegistrationIsRefusedForAnUnknownIdDev) {
  Client stranger(server_->port(), "777");
  const std::string answer = stranger.Connect();
  EXPECT_FALSE(IsReadyAnswer(answer));
  EXPECT_EQ(answer.substr(0, answer.find('\0')), "Unknown ID_DEV");

  server_->AddRegister("777");  // registers may come while running
  EXPECT_TRUE(IsReadyAnswer(stranger.Connect()));
  EXPECT_EQ(stranger.Run(76, "406172;").Field(0), "777");
}

TEST_F(RelayTest, FramesSplitOrPackedAreAllAnswered) {
  RawClient raw(server_->port());
  raw.Send(Registration("1"));
  EXPECT_EQ(raw.Read(6), std::string("Ready\0", 6));

  const std::string a = WireFrame(0x21, 0x80, "406172;");
  for (char c : a)
    raw.Send(std::string_view(&c, 1));  // one byte per segment
  std::string b = BuildRequestFrame(0x22, 0x42, "406172;");
  b[b.size() - 2] ^= 0x01;                                                // bad checksum
  raw.Send(b + std::string(1, '\0') + WireFrame(0x23, 0x21, "406172;"));  // packed

  AnswerParser parser;
  auto next_answer = [&]() {
    parser.BeginTransaction();
    while (!parser.frame_complete() && !parser.frame_ended()) {
      std::string byte = raw.Read(1);
      if (byte.empty())
        break;
      parser.Feed(static_cast<std::uint8_t>(byte[0]));
    }
    return parser;
  };
  AnswerParser first = next_answer();
  EXPECT_EQ(first.command(), 0x80);
  EXPECT_EQ(first.sequence() + 0x20, 0x21);
  EXPECT_EQ(first.error_code(), "0000");
  AnswerParser nak = next_answer();
  EXPECT_EQ(nak.link_flags() & link_flags::kNak, link_flags::kNak);
  AnswerParser third = next_answer();
  EXPECT_EQ(third.command(), 0x21);
  EXPECT_EQ(third.sequence() + 0x20, 0x23);
  EXPECT_EQ(third.running_checksum() & 0xFFFF, third.received_checksum());

  const std::vector<Request> seen = reg_->requests();
  ASSERT_EQ(seen.size(), 2u);  // the damaged frame was not taken
  EXPECT_EQ(seen[1].code, 0x21);
  EXPECT_EQ(seen[1].sequence, 0x23);
}

TEST_F(RelayTest, RequestsAreRecordedWithTheirSequenceBytes) {
  reg_->ClearRequests();
  Run(128, "406172;");
  Run(33, "406172;");
  const std::vector<Request> seen = reg_->requests();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].code, 128);
  EXPECT_EQ(seen[0].text, "406172;");
  EXPECT_EQ(seen[1].code, 33);
  EXPECT_EQ(seen[1].sequence, SequenceByte(seen[0].sequence - 0x20 + 1));
}

TEST_F(RelayTest, ANewerClientTakesTheRegisterOver) {
  Client second(server_->port());
  ASSERT_TRUE(IsReadyAnswer(second.Connect()));
  EXPECT_TRUE(second.Run(128, "406172;").Succeeded());
  // The first connection was closed by the relay: its command gets no answer, and the link
  // re-establishes itself (so it is now the newer client again).
  EXPECT_TRUE(Run(128, "406172;").NoAnswer());
  EXPECT_TRUE(Run(128, "406172;").Succeeded());
}

TEST_F(RelayTest, FaultSwitchesAsTheClientSeesThem) {
  struct FaultCase {
    const char* name;
    std::function<void(Faults&)> set;
    std::function<void(const ReplyRecord&)> check;
  };
  const std::vector<FaultCase> cases = {
      {"nak", [](Faults& f) { f.nak = true; },
       [](const ReplyRecord& r) { EXPECT_EQ(r.status_flags, status_bits::kNak); }},
      {"corrupt checksum", [](Faults& f) { f.corrupt_checksum = true; },
       [](const ReplyRecord& r) {
         EXPECT_EQ(r.status_flags, status_bits::kChecksumError);
         EXPECT_EQ(r.checksum_error, 1);
         EXPECT_EQ(r.Field(0), "SIM-100");  // the fields still arrive
       }},
      {"split answer", [](Faults& f) { f.split_answer_bytes = 3; },
       [](const ReplyRecord& r) {
         EXPECT_TRUE(r.Succeeded());
         EXPECT_EQ(r.Field(0), "SIM-100");
       }},
      {"delayed answer", [](Faults& f) { f.answer_delay_ms = 30; },
       [](const ReplyRecord& r) { EXPECT_TRUE(r.Succeeded()); }},
      {"no answer", [](Faults& f) { f.no_answer = true; },
       [](const ReplyRecord& r) { EXPECT_EQ(r.status_flags, status_bits::kNoAnswer); }},
  };
  client_->link.timings().exchange_steps = 4;  // a missing answer is given up after 200 ms
  for (const FaultCase& c : cases) {
    SCOPED_TRACE(c.name);
    reg_->SetFaults(Faults{});
    reg_->ChangeFaults(c.set);
    c.check(Run(128, "406172;"));
    reg_->SetFaults(Faults{});
    EXPECT_TRUE(Run(128, "406172;").Succeeded());  // and the link is fine afterwards
  }
}

TEST_F(RelayTest, DroppedConnectionAndNextErrorCode) {
  reg_->ChangeFaults([](Faults& f) { f.drop_connection = true; });
  reg_->ClearRequests();
  EXPECT_TRUE(Run(66, "406172;").NoAnswer());
  reg_->ChangeFaults([](Faults& f) { f.drop_connection = false; });
  EXPECT_TRUE(Run(66, "406172;").Succeeded());  // the link reconnected by itself
  EXPECT_EQ(reg_->requests().size(), 2u);

  reg_->SetNextError(0x0101);
  EXPECT_EQ(Code(66, "406172;"), "0101");
  EXPECT_EQ(Code(66, "406172;"), "0000");  // one answer only
}

// What a client sees of each request: its error code, or the link bit that stands instead.
std::string Outcome(const ReplyRecord& r) {
  if (r.NoAnswer())
    return "timeout";
  if (r.status_flags & status_bits::kNak)
    return "nak";
  if (r.status_flags & status_bits::kChecksumError)
    return "checksum:" + r.error_code;
  return r.error_code;
}

TEST_F(RelayTest, AimedFaultsHitOnlyTheChosenRequests) {
  using K = AimedFault::Kind;
  struct Step {
    int code;
    std::string outcome;
  };
  struct AimedCase {
    const char* name;
    std::vector<AimedFault> faults;
    std::vector<Step> steps;
  };
  const std::vector<AimedCase> cases = {
      {"error for the next two answers to one code",
       {{.error = err::kPassword, .code = 0x42, .count = 2}},
       {{0x80, "0000"}, {0x42, "0006"}, {0x21, "0000"}, {0x42, "0006"}, {0x42, "0000"}}},
      {"no answer for the third request",
       {{.kind = K::kNoAnswer, .skip = 2}},
       {{0x80, "0000"}, {0x42, "0000"}, {0x42, "timeout"}, {0x42, "0000"}}},
      {"NAK for the second request of one code",
       {{.kind = K::kNak, .code = 0x21, .skip = 1}},
       {{0x21, "0000"}, {0x80, "0000"}, {0x21, "nak"}, {0x21, "0000"}}},
      {"bad checksum: the command still ran",
       {{.kind = K::kBadChecksum, .code = 0x80}},
       {{0x42, "0000"}, {0x80, "checksum:0000"}, {0x80, "0000"}}},
      {"two faults due at once: the first added hits, the other takes the next",
       {{.error = err::kPassword, .code = 0x42}, {.kind = K::kNak}},
       {{0x42, "0006"}, {0x80, "nak"}, {0x42, "0000"}}},
  };
  client_->link.timings().exchange_steps = 4;  // a missing answer is given up after 200 ms
  for (const AimedCase& c : cases) {
    SCOPED_TRACE(c.name);
    reg_->ClearAimedFaults();
    for (const AimedFault& f : c.faults)
      reg_->AimFault(f);
    std::vector<std::string> seen, wanted;
    for (const Step& step : c.steps) {
      seen.push_back(Outcome(Run(step.code, "406172;")));
      wanted.push_back(step.outcome);
    }
    EXPECT_EQ(seen, wanted);
  }
}

TEST_F(RelayTest, UnansweredAndNakedRequestsAreNotCarriedOut) {
  client_->link.timings().exchange_steps = 4;
  reg_->AimFault({.kind = AimedFault::Kind::kNoAnswer, .code = 0x22});
  reg_->AimFault({.kind = AimedFault::Kind::kNak, .code = 0x22});
  EXPECT_EQ(Outcome(Run(0x22, "406172;3;first;0;")), "timeout");
  EXPECT_EQ(Outcome(Run(0x22, "406172;3;second;0;")), "nak");
  EXPECT_TRUE(reg_->State().header[3].text.empty());
  EXPECT_EQ(reg_->requests().size(), 2u);  // both recorded
}

TEST_F(RelayTest, AnswerRewriteChangesTheDataOfChosenAnswers) {
  reg_->SetAnswerRewrite([](const Request& request, Answer& answer) {
    if (request.code == 0x80)
      answer.data = "sim-100;3.0x;";
  });
  ReplyRecord& r = Run(0x80, "406172;");
  EXPECT_TRUE(r.Succeeded());  // the frame itself is sound
  EXPECT_EQ(r.Field(0), "sim-100");
  EXPECT_EQ(r.Field(1), "3.0x");
  EXPECT_EQ(Run(0x42, "406172;").Field(0), "SM000012345");
  reg_->SetAnswerRewrite({});
  EXPECT_EQ(Run(0x80, "406172;").Field(0), "SIM-100");
}

TEST(AimedFaultSpecTest, ReadsTheCommandLineForm) {
  struct SpecCase {
    const char* text;
    bool ok;
    AimedFault::Kind kind;
    std::uint16_t error;
    int code, skip, count;
  };
  using K = AimedFault::Kind;
  const int any = AimedFault::kAnyCode;
  const std::vector<SpecCase> cases = {
      {"0006@42*2", true, K::kError, 0x0600, 0x42, 0, 2},
      {"0301@a0", true, K::kError, 0x0103, 0xA0, 0, 1},
      {"noanswer@any+2", true, K::kNoAnswer, 0, any, 2, 1},
      {"nak@21+1*3", true, K::kNak, 0, 0x21, 1, 3},
      {"badsum@80", true, K::kBadChecksum, 0, 0x80, 0, 1},
      {"0006", false, K::kError, 0, 0, 0, 0},       // no code
      {"006@42", false, K::kError, 0, 0, 0, 0},     // three digits
      {"00G6@42", false, K::kError, 0, 0, 0, 0},    // not hexadecimal
      {"nak@100", false, K::kError, 0, 0, 0, 0},    // code above FF
      {"nak@42*0", false, K::kError, 0, 0, 0, 0},   // nothing to hit
      {"nak@42+-1", false, K::kError, 0, 0, 0, 0},  // negative skip
      {"drop@42", false, K::kError, 0, 0, 0, 0},    // unknown kind
  };
  for (const SpecCase& c : cases) {
    SCOPED_TRACE(c.text);
    std::string why;
    const auto f = ParseAimedFault(c.text, why);
    ASSERT_EQ(f.has_value(), c.ok);
    if (!c.ok) {
      EXPECT_FALSE(why.empty());
      continue;
    }
    EXPECT_EQ(f->kind, c.kind);
    EXPECT_EQ(f->error, c.error);
    EXPECT_EQ(f->code, c.code);
    EXPECT_EQ(f->skip, c.skip);
    EXPECT_EQ(f->count, c.count);
  }
}

TEST_F(RelayTest, PrintingAnswersComeAfterSynBytes) {
  reg_->ChangeFaults([](Faults& f) { f.syn_count = 5; });
  ReplyRecord& r = Run(161, "406172;1;");
  EXPECT_TRUE(r.Succeeded());
  EXPECT_EQ(client_->engine.parser().syn_count(), 5);
  Run(128, "406172;");
  EXPECT_EQ(client_->engine.parser().syn_count(), 0);
}

TEST_F(RelayTest, DelayedRegistrationStillCompletes) {
  reg_->ChangeFaults([](Faults& f) { f.registration_delay_ms = 60; });
  Client late(server_->port());
  EXPECT_TRUE(IsReadyAnswer(late.Connect()));
}

TEST(ServerTest, ABusyPortIsReported) {
  ServerOptions options;
  options.port = 0;
  Server first(options);
  ASSERT_TRUE(first.Start());
  options.port = first.port();
  Server second(options);
  EXPECT_FALSE(second.Start());
  EXPECT_NE(second.error_text().find("cannot listen"), std::string::npos);
  EXPECT_FALSE(second.running());
}

}  // namespace
}  // namespace tolvanet::sim::testing
