#include "core/report/report.h"

#include "base/atomic_file.h"
#include "base/file_stream.h"
#include "core/globals.h"
#include "core/views/view.h"
#include "base/display_format.h"
#include "core/store/kvp_format.h"
#include "core/locale.h"
#include "core/paper/printer.h"
#include "base/save_file_stream.h"

#include <QFile>
#include <QFileInfo>
#include <stdexcept>

// ---------------------------------------------------------------- design pages

int TkvPages::Add() {
    List.push_back(std::make_unique<TkvPage>(kv::DefaultPaperSize, 0, 0, -1, 0));
    return Count() - 1;
}

void TkvPages::Delete(int i) {
    if (i < 0 || i >= Count()) throw std::out_of_range("page index out of range");
    List.erase(List.begin() + i);
}

void TkvPages::Move(int from, int to) {
    if (from < 0 || from >= Count() || to < 0 || to >= Count())
        throw std::out_of_range("page index out of range");
    std::unique_ptr<TkvPage> page = std::move(List[static_cast<size_t>(from)]);
    List.erase(List.begin() + from);
    List.insert(List.begin() + to, std::move(page));
}

// ---------------------------------------------------------------- report

TkvReport::TkvReport() {
    TemplateFileName = kv::LoadLibraryText(55209);
    ResetDocumentInfo();
}

TkvReport::~TkvReport() {
    if (kv::CurReport() == this) kv::CurReport() = nullptr;
    if (kv::MasterReport() == this) kv::MasterReport() = nullptr;
}

TkvView* TkvReport::FindViewByName(const QByteArray& name) const {
    // An exact match on any page before a match that differs in case.
    TkvView* folded = nullptr;
    for (const auto& p : Pages)
        if (TkvView* v = p->FindObject(name)) {
            if (v->Name == name) return v;
            if (!folded) folded = v;
        }
    return folded;
}

void TkvReport::ResetDocumentInfo() {
    DocComment.clear();
    DocName.clear();
    DocAuthor.clear();
    DocVersionMajor.clear();
    DocVersionMinor.clear();
    DocVersionRelease.clear();
    DocVersionBuild.clear();
    DocPassword.clear();
    DocCreated = DocLastChange = QDateTime::currentDateTime();
    DocPasswordProtected = false;
    WriterMark = kvp::DefaultWriterMark;
}

void TkvReport::Clear() {
    Pages.Clear();
    // A cleared template has no data dictionary either: its variables would reach the next one.
    Dictionary.Clear();
    DoublePassReport = 0;
    ResetDocumentInfo();
    kv::DocumentMode() = 0;
}

void TkvReport::SelectPrinterByName(const QByteArray& name) {
    if (KeepCurrentPrinter == 0) {
        TkvPrinter& printer = kv::SharedPrinter();
        const int i = printer.IndexOfPrinter(name);
        if (i >= 0) printer.SetPrinterIndex(i);
    }
    PrinterName = name;
}

void TkvReport::LoadPreparedFile(const QString& fileName) {
    ResetDocumentInfo();
    TkvFileStream file(fileName);
    Rebuildable = false;
    EMFPages.LoadFromStream(&file);
}

void TkvReport::SavePreparedFile(const QString& fileName) {
    TkvSaveFileStream file(fileName);
    EMFPages.SaveToStream(&file);
    file.Commit();
}

TkvTemplateLoadResult TkvReport::LoadFromStream(TkvStream& stream, const TkvTemplateLoadOptions& options) {
    return kv::LoadTemplate(*this, stream, options);
}

void TkvReport::SaveToStream(TkvStream& stream) { kv::SaveTemplate(*this, stream); }

bool TkvReport::LoadFromFile(const QString& fileName, TkvTemplateLoadResult* result,
                             const TkvTemplateLoadOptions& options) {
    TkvTemplateLoadResult local;
    TkvTemplateLoadResult& r = result ? *result : local;
    if (!QFileInfo::exists(fileName)) {
        r.status = TkvTemplateLoadResult::Status::Unreadable;
        r.Message = "The file " + fileName.toUtf8() + " does not exist";
        return false;
    }
    QFile file(fileName);
    // Templates are small; a file beyond this is not one.
    constexpr qint64 kMaxTemplateBytes = qint64(1) << 30;
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxTemplateBytes) {
        r.status = TkvTemplateLoadResult::Status::Unreadable;
        r.Message = "Cannot read " + fileName.toUtf8();
        return false;
    }
    TkvMemoryStream s(file.readAll());
    TkvTemplateLoadOptions o = options;
    o.FromFile = true;
    r = LoadFromStream(s, o);
    if (!r.Ok()) return false;
    TemplateFileName = fileName.toUtf8();
    return true;
}

void TkvReport::SaveToFile(const QString& fileName) {
    TkvMemoryStream bytes;
    SaveToStream(bytes);
    TkvAtomicFile file(fileName);
    file.Write(bytes.Data());
    file.Commit();
}

QByteArray TkvReport::SaveToMemory() {
    TkvMemoryStream bytes;
    SaveToStream(bytes);
    return bytes.TakeData();
}

TkvTemplateLoadResult TkvReport::LoadFromMemory(const QByteArray& bytes) {
    TkvMemoryStream s(bytes);
    return LoadFromStream(s);
}

QByteArray TkvReport::ExpressionToText(const QByteArray& expression) {
    if (!Evaluator) throw TkvExpressionError("No expression evaluator is set for the report");
    const TkvView* v = kv::CurView();
    return kv::ExpressionToText(expression, v ? v->DisplayFormat : 0, v ? v->DisplayFormatText : QByteArray(),
                                v && (v->Flags & 0x0040), *Evaluator);
}

QByteArray TkvReport::FormatValue(const TkvVariant& value, uint32_t word, const QByteArray& format) const {
    return kv::FormatValue(value, word, format, Evaluator ? Evaluator->FormatSettings() : TkvFormatSettings::System());
}

namespace kv {

TkvExpressionEvaluator* CurEvaluator() {
    return CurReport() ? CurReport()->Evaluator : nullptr;
}

TkvExpressionEvaluator& RequireEvaluator() {
    TkvExpressionEvaluator* e = CurEvaluator();
    if (!e) throw TkvExpressionError("No expression evaluator is set for the report");
    return *e;
}

} // namespace kv
