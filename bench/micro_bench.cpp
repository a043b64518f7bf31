// In-process costs of the pieces a run is made of.
#include <benchmark/benchmark.h>

#include <string>

#include "console_io.h"
#include "number_grammar.h"

namespace {

void BM_ParseShortNumber(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        number_grammar::parse_number("12.566370614359172"));
  }
}
BENCHMARK(BM_ParseShortNumber);

void BM_ParseLongNumber(benchmark::State& state) {
  const std::string text = "1." + std::string(state.range(0), '2');
  for (auto _ : state) {
    benchmark::DoNotOptimize(number_grammar::parse_number(text));
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ParseLongNumber)->Arg(1 << 10)->Arg(1 << 20);

void BM_FormatResult(benchmark::State& state) {
  char line[console_io::kResultLineMax];
  double value = 12.566370614359172;
  for (auto _ : state) {
    benchmark::DoNotOptimize(console_io::format_result(value, line));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FormatResult);

}  // namespace

BENCHMARK_MAIN();
