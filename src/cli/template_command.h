#pragma once
// kvtool's template and data commands.

#include "cli/prepared_info.h"

#include <QStringList>

namespace kvcli {

// `kvtool template info FILE.kvf [--json]`: pages, bands (type, data source, height), objects with
// their memo, and the dictionary.
CommandResult TemplateInfo(const QString& path, bool json);
// `kvtool convert IN.kvf OUT.kvf`: loads the template and saves it again.
CommandResult ConvertTemplate(const QString& in, const QString& out);
// `kvtool data list [TEMPLATE.kvf] [--db ADDRESS] [--data NAME=SQL|NAME=csv:PATH]... [--rows N]`:
// the first rows of each named data set (those of the template's data file with the options over
// them), walked through its TkvDBDataSet as the engine does.
CommandResult DataList(const QStringList& args);

} // namespace kvcli
