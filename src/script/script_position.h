#pragma once
// Where a compiled script instruction comes from: line and column in the source as written,
// counted from 1. Compile errors and run errors name it as "Line L/C".

#include <QByteArray>
#include <vector>

struct TkvScriptPosition {
    int Line = 0;
    int Column = 0;

    QByteArray Text() const { return "Line " + QByteArray::number(Line) + "/" + QByteArray::number(Column); }
};

// One entry per compiled instruction.
using TkvScriptPositions = std::vector<TkvScriptPosition>;
