// The script interpreter's execution speed: a 10-line script with a loop, compiled once and
// executed 100,000 times (the counter is executions per second).
#include "script/standalone_interpretator.h"

#include <benchmark/benchmark.h>

namespace {

const char* const kScript = "begin\n"
                            "  s := 0;\n"
                            "  n := 0;\n"
                            "  for i := 1 to 10 do\n"
                            "  begin\n"
                            "    if i mod 2 = 0 then s := s + i * 2\n"
                            "    else n := n + 1;\n"
                            "  end;\n"
                            "  r := s - n\n"
                            "end";

void BM_ScriptLoop(benchmark::State& state) {
    const TkvFormatSettings settings;
    TkvStandaloneInterpretator interpretator(settings);
    TkvStringList compiled, errors;
    interpretator.Compile(kv::SplitLines(kScript), compiled, errors);
    if (!errors.isEmpty()) {
        state.SkipWithError(errors.first().constData());
        return;
    }
    constexpr int kExecutions = 100000;
    for (auto _ : state) {
        for (int i = 0; i < kExecutions; ++i) interpretator.Execute(compiled);
        benchmark::DoNotOptimize(interpretator.Variables.GetVariable("r"));
    }
    state.counters["executions/s"] =
        benchmark::Counter(double(kExecutions) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ScriptLoop)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
