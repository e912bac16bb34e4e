#pragma once
// `kvtool convert IN OUT [OPTIONS]`: the writer is chosen by what IN is (a prepared report, or a
// template by its .kvf extension) and OUT's extension, from one table of the formats kvtool can
// write. A target extension not in the table for that input is refused before anything is read
// or written, with the list of the formats it can write.

#include "cli/prepared_info.h"

#include <QString>
#include <QStringList>
#include <span>

namespace kvcli {

// What a conversion reads.
enum class ConvertSource { PreparedReport, Template };

struct ConvertFormat {
    ConvertSource Source;
    const char* Extension;   // of OUT, lower case, without the dot
    const char* Description; // shown in the list of formats
    // Runs the conversion over the arguments after "convert": IN, OUT, then the writer's options.
    CommandResult (*Run)(const QStringList& args);
    const char* Options; // the options' usage text, null when the writer takes none
};

// Every conversion `kvtool convert` does; a new writer adds its row here.
std::span<const ConvertFormat> ConvertFormats();

// A template by its extension (.kvf, any case); anything else is read as a prepared report.
ConvertSource ConvertSourceOf(const QString& in);

// The row for the source and OUT's extension (any case), or nullptr.
const ConvertFormat* ConvertFormatFor(ConvertSource source, const QString& out);

// "kvp (prepared report), pdf (PDF document), ..." for messages.
QByteArray ConvertFormatList(ConvertSource source);

// The usage lines of `kvtool convert`, one per source and set of options, each ending in "\n".
QByteArray ConvertUsage();

// Runs `kvtool convert` over the arguments after "convert". Fewer than IN and OUT, options given
// to a writer that takes none, or an unknown target extension are usage errors (exit 2).
CommandResult ConvertFromArguments(const QStringList& args);

} // namespace kvcli
