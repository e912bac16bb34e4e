#include "script/aggregate_splitter.h"

#include "base/bracketed.h"
#include "script/interpretator.h"

const TkvStringList& TAggregateFunctionsSplitter::AggregateNames() {
    static const TkvStringList names = {"AVG", "COUNT", "MAX", "MIN", "SUM"};
    return names;
}

void TAggregateFunctionsSplitter::FindInMemo(const TkvStringList& lines) {
    for (const QByteArray& line : lines) {
        qsizetype pos = 0;
        while ((pos = line.indexOf('[', pos)) >= 0) {
            const kvparse::TkvBracketed b = kvparse::ExtractBracketed(line, pos);
            Split("[" + b.Text + "]");
            if (!b.Closed) break;
            pos = b.Close + 1;
        }
    }
}

void TAggregateFunctionsSplitter::FindInScript(const TkvStringList& compiled) {
    if (compiled.isEmpty()) return;
    TkvInterpretator interpretator;
    interpretator.FindFunctionCalls(compiled, FunctionNames, Variables, Found);
}
