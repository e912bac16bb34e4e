#pragma once
// Printing to a PDF file: the printer that exists on every machine, offered when no print queue
// does. The pages are drawn as the print job draws them, each on its own paper size, and the file is
// written through the atomic writer, so a failed printout leaves no partial file.

#include <QString>
#include <vector>

class TkvEMFPages;

namespace kv {

// Writes the 0-based pages (in the order given) to a PDF at `path`. Raises std::runtime_error with
// one sentence when the file cannot be written or a page cannot be read.
void PrintPagesToPdf(TkvEMFPages& pages, const std::vector<int>& indexes, const QString& path,
                     const QString& title);

} // namespace kv
