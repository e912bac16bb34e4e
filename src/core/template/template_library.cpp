#include "core/template/template_library.h"

#include "base/atomic_file.h"
#include "base/file_stream.h"
#include "base/stream_version.h"
#include "core/globals.h"
#include "core/report/report.h"
#include "core/template/template_stream.h"

#include <QBuffer>

namespace {

constexpr int32_t kFormPropertyVersion = 25;
// A preview picture larger than this is not one the designer made.
constexpr int32_t kMaxPictureBytes = 64 << 20;

} // namespace

namespace kv {

void WriteTemplateLibraryFile(const QString& fileName, TkvReport& report, const TkvStringList& description,
                              const QImage& picture) {
    TkvMemoryStream s;
    const uint8_t saved = StreamVersion;
    StreamVersion = CurrentStreamVersion;
    WriteStreamMemo(s, description);
    const qint64 offsetAt = s.Position();
    s.WriteInt(0);
    QByteArray png;
    if (!picture.isNull()) {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");
    }
    s.WriteByte(png.isEmpty() ? 0 : 1);
    if (!png.isEmpty()) {
        s.WriteInt(static_cast<int32_t>(png.size()));
        s.WriteBytes(png);
    }
    const qint64 pagesAt = s.Position();
    CurReport() = &report;
    WritePagesPart(report, s);
    s.Seek(offsetAt);
    s.WriteInt(static_cast<int32_t>(pagesAt));
    StreamVersion = saved;
    TkvAtomicFile file(fileName);
    file.Write(s.Data());
    file.Commit();
}

TkvTemplateLibraryEntry ReadTemplateLibraryFile(const QString& fileName, TkvReport* report, bool loadPages) {
    TkvTemplateLibraryEntry entry;
    TkvFileStream file(fileName);
    const uint8_t saved = StreamVersion;
    StreamVersion = CurrentStreamVersion;
    struct Restore {
        uint8_t v;
        ~Restore() { StreamVersion = v; }
    } restore{saved};
    ReadStreamMemo(file, entry.Description);
    const int32_t pagesAt = file.ReadInt("the pages offset");
    if (file.ReadByte("the picture flag") == 1) {
        const int32_t n = file.ReadInt("the picture length");
        if (n < 0 || n > kMaxPictureBytes) file.Fail("the picture length");
        entry.Picture.loadFromData(file.ReadBytes(n, "the picture"), "PNG");
    }
    if (!loadPages || !report) return entry;
    if (pagesAt < file.Position() || pagesAt > file.Size()) file.Fail("the pages offset");
    file.Seek(pagesAt);
    CurReport() = report;
    ErrorFlag() = false;
    ErrorText().clear();
    report->Dictionary.Clear();
    ReadPagesPart(*report, file, true);
    return entry;
}

QByteArray ReportFormPropertyBytes(TkvReport& report) {
    TkvMemoryStream s;
    s.WriteInt(kFormPropertyVersion);
    if (report.StoreInDFM) {
        const QByteArray bytes = report.SaveToMemory();
        s.WriteInt(static_cast<int32_t>(bytes.size()));
        s.WriteBytes(bytes);
    }
    return s.TakeData();
}

void ReadReportFormProperty(TkvReport& report, TkvStream& s) {
    s.ReadInt("the form property version");
    report.PendingFormTemplate.clear();
    if (!report.StoreInDFM) return;
    const int32_t n = s.ReadInt("the form template length");
    if (n < 0) s.Fail("the form template length");
    report.PendingFormTemplate = s.ReadBytes(n, "the form template");
}

bool FormLoaded(TkvReport& report) {
    if (report.PendingFormTemplate.isEmpty()) return true;
    const QByteArray bytes = std::move(report.PendingFormTemplate);
    report.PendingFormTemplate.clear();
    return report.LoadFromMemory(bytes).Ok();
}

} // namespace kv
