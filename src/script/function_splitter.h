#pragma once
// Finds the calls of given functions inside an expression text, following dictionary variables
// whose values are expression texts, so that the report builder knows which aggregates to keep.

#include "base/stream_text.h"
#include "base/variables.h"

#include <QByteArray>

class TkvFunctionSplitter {
public:
    // None of the three is owned. FunctionNames are compared without regard to case; Variables
    // holds expression texts by name; every matching call text is appended to Found, calls nested
    // in arguments before the call that holds them.
    TkvFunctionSplitter(const TkvStringList& functionNames, const TkvVariables& variables, TkvStringList& found)
        : FunctionNames(functionNames), Variables(variables), Found(found) {}

    // Raises TkvExpressionError when variables refer to one another deeper than kMaxDepth or an
    // argument list is not closed.
    void Split(const QByteArray& expression);

    static constexpr int kMaxDepth = 32;

    const TkvStringList& FunctionNames;
    const TkvVariables& Variables;
    TkvStringList& Found;

private:
    void Split(const QByteArray& expression, int depth);
    bool IsFunctionName(const QByteArray& token) const;
};
