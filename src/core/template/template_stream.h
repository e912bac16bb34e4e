#pragma once
// The report template stream: version byte, pages part (flags, printer, page records, object
// entries, the dictionary), end byte and document information. Used by .kvf files, the host form's
// "ReportForm" bytes, the in-memory copy kept by editing and building, and (pages part only)
// template library files.

#include "base/error.h"
#include "base/stream.h"

#include <QByteArray>
#include <QDateTime>
#include <exception>
#include <functional>
#include <string>

class TkvReport;
class TkvPage;

namespace kvtpl {
constexpr uint8_t WrittenVersion = 25;
// A first byte up to this value is not a version byte: the stream is version 21 from offset 0.
constexpr uint8_t NoVersionByteLimit = 20;
constexpr uint8_t ImpliedVersion = 21;
constexpr uint8_t PageMark = 255;
constexpr uint8_t DictionaryMark = 254;
constexpr uint8_t EndMarkWithByte = 253;
constexpr uint8_t EndMark = 252;
// The page index of an object entry is one byte.
constexpr int MaxPages = 256;
constexpr uint8_t MaxViewType = 10;
} // namespace kvtpl

// A template that cannot be written (more pages than an object entry can address).
class TkvTemplateError : public TkvError {
public:
    using TkvError::TkvError;
};

struct TkvTemplateLoadOptions {
    // The stream is a file (not an in-memory copy): a protected template asks for its password.
    bool FromFile = false;
    // Asks the user for the password; false when cancelled. Without it a protected file is refused.
    std::function<bool(QByteArray& password)> AskPassword;
};

struct TkvTemplateLoadResult {
    enum class Status { Loaded, Empty, UnsupportedVersion, MissingClasses, Unreadable, PasswordRefused };
    Status status = Status::Loaded;
    // The text the user is shown (caption "Error"), empty when loaded.
    QByteArray Message;
    bool Ok() const { return status == Status::Loaded || status == Status::Empty; }
};

namespace kv {

// Loads a template into the report as the load algorithm says: an unsupported version keeps the
// pages; missing add-in classes keep what was read; any other failure leaves one empty page.
TkvTemplateLoadResult LoadTemplate(TkvReport& report, TkvStream& s,
                                   const TkvTemplateLoadOptions& options = {});
// Writes the template; raises TkvTemplateError before writing anything when the report has more
// pages than object entries can address. stampLastChange false keeps DocLastChange (a re-save
// that must reproduce the bytes read).
void SaveTemplate(TkvReport& report, TkvStream& s, bool stampLastChange = true);

// The pages part alone, in the current StreamVersion. Reading clears the report's pages first;
// endOfStreamEnds lets the stream end without an end byte (template library files). Raises on
// failures; missing classes are collected in ErrorText/ErrorFlag and end in TkvClassNotFound.
void ReadPagesPart(TkvReport& report, TkvStream& s, bool endOfStreamEnds);
void WritePagesPart(TkvReport& report, TkvStream& s);

void ReadPageRecord(TkvStream& s, TkvPage& page, const TkvReport* report);
void WritePageRecord(TkvStream& s, const TkvPage& page);

// Document information after the end byte.
void ReadDocumentInfo(TkvStream& s, TkvReport& report);
void WriteDocumentInfo(TkvStream& s, const TkvReport& report);

// Days since 30 December 1899, the stored date form.
double DateTimeToDays(const QDateTime& t);
QDateTime DaysToDateTime(double days);

} // namespace kv
