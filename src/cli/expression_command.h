#pragma once
// kvtool's expression commands: `eval` evaluates an expression of the report language, `format`
// shows a number by a display format. Both read the format settings of the system locale with the
// KV_FORMAT_SETTINGS overrides. Errors give exit code 2 and one line.

#include "cli/prepared_info.h"

#include <QStringList>

namespace kvcli {

// `kvtool eval [--json] [--var NAME=VALUE]... [--] EXPRESSION`. The value prints as a bracketed
// expression shows it in a text object (an inline format after " #" applies); --json prints
// {"type": ..., "value": ...}. A --var value that reads as a number is a number, else a text.
CommandResult EvalFromArguments(const QStringList& args);

// `kvtool format [--] FORMAT VALUE`: FORMAT is a format word ("0x101022C") or an inline format
// with its "#" ("#N#,##0.00"); VALUE a number (a day count for dates and times).
CommandResult FormatFromArguments(const QStringList& args);

} // namespace kvcli
