#pragma once
// Template library files (.kvt) the designer creates reports from, and the bytes of the host
// form's "ReportForm" property.

#include "base/stream_text.h"

#include <QImage>
#include <QString>

class TkvReport;
class TkvStream;

struct TkvTemplateLibraryEntry {
    TkvStringList Description;
    QImage Picture; // null when the file has none
};

namespace kv {

// Writes description, the offset of the pages part, the picture flag and picture (a 32-bit length
// and PNG bytes), then the report's pages part. Through the atomic writer; raises on failure.
void WriteTemplateLibraryFile(const QString& fileName, TkvReport& report, const TkvStringList& description,
                              const QImage& picture);
// Reads the description and picture; with loadPages the pages part replaces the report's pages
// (read as stream version 25). Raises TkvFileError, TkvStreamError or TkvClassNotFound.
TkvTemplateLibraryEntry ReadTemplateLibraryFile(const QString& fileName, TkvReport* report, bool loadPages);

// The "ReportForm" property: a 32-bit 25, then when StoreInDFM is set a 32-bit length and the
// template stream.
QByteArray ReportFormPropertyBytes(TkvReport& report);
// Reads the property into PendingFormTemplate (StoreInDFM must already be read); FormLoaded
// loads what was held. A length beyond the bytes given is refused with TkvStreamError.
void ReadReportFormProperty(TkvReport& report, TkvStream& s);
bool FormLoaded(TkvReport& report);

} // namespace kv
