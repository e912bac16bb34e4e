#pragma once
// `kvtool find FILE TEXT [--case]`: the texts of a prepared report searched as they are drawn.

#include "cli/prepared_info.h"

#include <QString>
#include <cstdio>

namespace kvcli {

// One line per match, "PAGE<TAB>LEFT,TOP<TAB>matched text" (pages from 1, the match's top-left
// corner in page units), in page order and drawing order. Exit code 0 when something was found,
// 1 when nothing was, 2 on an error (the file cannot be read, or a page could not be searched; the
// matches of the other pages are still listed). Each page is unpacked for its search and released
// before the next. With `out`, lines are written there as they are found; otherwise they collect
// in the result's Out.
CommandResult Find(const QString& path, const QString& text, bool caseSensitive, FILE* out = nullptr);

// Parses the arguments after "find"; usage errors give exit code 2.
CommandResult FindFromArguments(const QStringList& args, FILE* out = nullptr);

} // namespace kvcli
