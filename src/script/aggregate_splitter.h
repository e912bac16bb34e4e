#pragma once
// Finds the aggregate calls (AVG, COUNT, MAX, MIN, SUM) in the memo lines and compiled scripts of a
// band's objects, following the data dictionary's variables, so that discovery can register them.

#include "script/function_splitter.h"

class TAggregateFunctionsSplitter : public TkvFunctionSplitter {
public:
    // `dictionaryVariables` (expression texts by name) and `found` are borrowed.
    TAggregateFunctionsSplitter(const TkvVariables& dictionaryVariables, TkvStringList& found)
        : TkvFunctionSplitter(AggregateNames(), dictionaryVariables, found) {}

    // Every bracketed part of every line, put back into its brackets so that a bracketed
    // dictionary variable is followed.
    void FindInMemo(const TkvStringList& lines);
    // Every instruction's expression of a compiled script.
    void FindInScript(const TkvStringList& compiled);

    static const TkvStringList& AggregateNames();
};
