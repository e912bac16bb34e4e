#pragma once
// `kvtool build TEMPLATE.kvf -o OUT.kvp|.pdf|.txt|.rtf|.xlsx|.png [--db ADDRESS]
// [--data NAME=SQL|NAME=csv:PATH]... [--var NAME=VALUE]... [--page N] [--max-pages N]`: builds the
// template over the named data sets and writes the prepared pages as a prepared report, a PDF, an
// export or (PNG) one page picture. A failed build writes nothing and reports the build error's
// text on one line; progress goes to stderr when it is a terminal.

#include "cli/prepared_info.h"

#include <QStringList>

namespace kvcli {

// Exit codes: 0 built and written, 1 the template, data, build or output failed, 2 usage.
CommandResult BuildFromArguments(const QStringList& args);

// The usage lines of `kvtool build`, ending in "\n".
QByteArray BuildUsage();

} // namespace kvcli
