// Cost of one frame without any I/O: building the request, parsing the answer byte by byte,
// and a whole engine transaction against a transport that answers at once.
#include <benchmark/benchmark.h>

#include "bench/allocations.h"
#include "bench/exchange.h"
#include "link/engine.h"

namespace tolvanet::bench {
namespace {

void ParseAnswer(AnswerParser& parser, const std::string& answer) {
  parser.BeginTransaction();
  parser.Feed(std::string_view(answer));
}

void BM_FrameEncode(benchmark::State& state) {
  std::uint8_t counter = 0;
  std::string frame;
  for (auto _ : state) {
    BuildRequestFrame(frame, SequenceByte(++counter), 33, kGetDateTimeText);
    benchmark::DoNotOptimize(frame.data());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FrameEncode);

void BM_AnswerParse(benchmark::State& state) {
  const std::string answer = GetDateTimeAnswer();
  AnswerParser parser;
  for (auto _ : state) {
    ParseAnswer(parser, answer);
    benchmark::DoNotOptimize(parser.frame_ended());
  }
  if (!parser.frame_ended())
    state.SkipWithError("the answer did not parse");
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(answer.size()));
}
BENCHMARK(BM_AnswerParse);

// (d) Encode plus parse: what one transaction costs the link in computation alone.
void BM_FrameEncodeAndParse(benchmark::State& state) {
  const std::string answer = GetDateTimeAnswer();
  AnswerParser parser;
  std::string frame;
  std::uint8_t counter = 0;
  bool ok = true;
  for (auto _ : state) {
    ok = EncodeAndParse(parser, frame, answer, ++counter) && ok;
    benchmark::DoNotOptimize(ok);
  }
  if (!ok)
    state.SkipWithError("the answer did not parse");
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FrameEncodeAndParse);

// A transport that hands over the prepared answer at once.
class InstantTransport : public Transport {
 public:
  explicit InstantTransport(std::string answer) : answer_(std::move(answer)) {}
  bool IsActive() const override { return true; }
  Result Exchange(std::string_view, const Consumer& consume) override {
    consume(answer_);
    return Result::kDone;
  }

 private:
  std::string answer_;
};

// The whole engine transaction without I/O: frame, parse, decode, fields, session log (off).
void BM_EngineTransactionNoIo(benchmark::State& state) {
  InstantTransport transport(GetDateTimeAnswer());
  Engine engine;
  engine.SetTransport(&transport);
  bool ok = engine.ExecuteCommand(cmd::kGetDateTime, kGetDateTimeText).Succeeded();
  for (auto _ : state) {
    const ReplyRecord& r = engine.ExecuteCommand(cmd::kGetDateTime, kGetDateTimeText);
    ok = ok && r.Succeeded() && r.field_count == 2;
  }
  if (!ok)
    state.SkipWithError("a transaction did not succeed");
  state.SetItemsProcessed(state.iterations());
  CountAllocations(state, [&] { engine.ExecuteCommand(cmd::kGetDateTime, kGetDateTimeText); });
}
BENCHMARK(BM_EngineTransactionNoIo);

}  // namespace
}  // namespace tolvanet::bench
