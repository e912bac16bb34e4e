#pragma once
// Master/detail links between named record sets: each parameter of a row source (a detail query's
// `:SET.FIELD` or `:FIELD`) is linked to a field of another record set, whose current record then
// gives its value each time the detail starts again (First). `:SET.FIELD` names the set; a bare
// `:FIELD` is the field of the one other set that has it. Record sets that give values are opened
// to learn their fields.

#include "engine/data/record_set.h"

#include <vector>

struct TkvNamedRecordSet {
    QByteArray Name; // as templates name the data set (compared without regard to case)
    TkvRecordSet* Set = nullptr;
};

namespace kv {

// Links every parameter of every set. Raises TkvDataError with one line naming the data set and
// the parameter: a set or field that does not exist, a bare name more than one set has, a set
// whose parameters lead back to itself (a cycle), or the failure of opening a set that gives
// values.
void LinkParameters(const std::vector<TkvNamedRecordSet>& sets);

} // namespace kv
