// A typical field expression, [Price] * [Qty] + 1, evaluated from its kept postfix form (what band
// and highlight conditions do per record) and converted afresh each time.
#include "script/parser.h"

#include <benchmark/benchmark.h>

namespace {

TkvParser MakeParser(const TkvFormatSettings& fs) {
    TkvParser p(fs);
    p.OnGetVariable = [](const QByteArray& name, TkvVariant& value) {
        if (name == "Price") value = TkvVariant(12.5);
        else if (name == "Qty") value = TkvVariant(int64_t(3));
    };
    return p;
}

void CachedPostfix(benchmark::State& state) {
    const TkvFormatSettings fs;
    TkvParser parser = MakeParser(fs);
    const QByteArray postfix = parser.ConvertToPostfix("[Price] * [Qty] + 1");
    for (auto _ : state) benchmark::DoNotOptimize(parser.EvaluatePostfix(postfix));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(CachedPostfix);

void FreshConversion(benchmark::State& state) {
    const TkvFormatSettings fs;
    TkvParser parser = MakeParser(fs);
    const QByteArray expression = "[Price] * [Qty] + 1";
    for (auto _ : state) benchmark::DoNotOptimize(parser.Evaluate(expression));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(FreshConversion);

} // namespace

BENCHMARK_MAIN();
