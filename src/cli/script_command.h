#pragma once
// `kvtool script`: compiles a script of the report language and runs it outside a report.

#include "cli/prepared_info.h"

#include <QStringList>

namespace kvcli {

// `kvtool script FILE|-e TEXT [--compile] [--var NAME=VALUE]... [--max-steps N]`. With --compile
// prints the compiled instructions ("0: IFNOT 3 x 1 >"); otherwise runs the script and prints
// every variable it assigned as NAME=VALUE, sorted by name. A compile error is one line
// "script: LINE:COLUMN: message", a failure while running one line too; both exit with 1, usage
// errors with 2. INPUT answers its default and MESSAGEBOX its first button, prompts on stderr.
CommandResult ScriptFromArguments(const QStringList& args);

} // namespace kvcli
