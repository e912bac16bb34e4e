#include "core/views/picture_view.h"

#include "core/data/data_field.h"
#include "core/globals.h"
#include "base/variables.h"
#include "base/expression_evaluator.h"
#include "base/value_ops.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <climits>
#include <map>


namespace {

// Live picture holders by handle. Scripts pass handles around as plain integers, so a handle is
// only ever resolved through this table, never turned back into a pointer directly.
std::map<int64_t, TkvPictureView*>& LiveHolders() {
    static std::map<int64_t, TkvPictureView*> holders;
    return holders;
}

int64_t NextHandle() {
    static int64_t next = 0;
    return ++next;
}

bool StartsWith(const QByteArray& bytes, std::initializer_list<uint8_t> signature) {
    if (bytes.size() < qsizetype(signature.size())) return false;
    qsizetype i = 0;
    for (uint8_t b : signature)
        if (uint8_t(bytes[i++]) != b) return false;
    return true;
}

} // namespace

void kv::DefineBlobTypeConstants(TkvVariables& constants) {
    constants.SetVariable("btBMP", int(kvblob::Bitmap));
    constants.SetVariable("btJPG", int(kvblob::Jpeg));
    constants.SetVariable("btICO", int(kvblob::Icon));
    constants.SetVariable("btWMF", int(kvblob::Metafile));
}

// ---------------------------------------------------------------- graphic

uint8_t TkvGraphic::KindOfBlobType(uint8_t blobType) {
    switch (blobType) {
    case kvblob::Bitmap:
        return kvgk::Bitmap;
    case kvblob::Jpeg:
        return kvgk::Jpeg;
    case kvblob::Icon:
        return kvgk::Icon;
    case kvblob::Metafile:
        return kvgk::Metafile;
    default:
        return kvgk::None;
    }
}

uint8_t TkvGraphic::KindOfFile(const QByteArray& bytes, const QString& fileName) {
    if (StartsWith(bytes, {'B', 'M'})) return kvgk::Bitmap;
    if (StartsWith(bytes, {0xFF, 0xD8, 0xFF})) return kvgk::Jpeg;
    if (StartsWith(bytes, {0x00, 0x00, 0x01, 0x00})) return kvgk::Icon;
    // Placeable and plain Windows metafiles, and enhanced metafiles (" EMF" at offset 40).
    if (StartsWith(bytes, {0xD7, 0xCD, 0xC6, 0x9A}) || StartsWith(bytes, {0x01, 0x00, 0x09, 0x00}) ||
        StartsWith(bytes, {0x02, 0x00, 0x09, 0x00}))
        return kvgk::Metafile;
    if (StartsWith(bytes, {0x01, 0x00, 0x00, 0x00}) && bytes.size() >= 44 && bytes.mid(40, 4) == " EMF")
        return kvgk::Metafile;
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (ext == u"bmp" || ext == u"dib") return kvgk::Bitmap;
    if (ext == u"jpg" || ext == u"jpeg" || ext == u"jpe" || ext == u"jfif") return kvgk::Jpeg;
    if (ext == u"ico") return kvgk::Icon;
    if (ext == u"wmf" || ext == u"emf") return kvgk::Metafile;
    return kvgk::None;
}

// ---------------------------------------------------------------- view

TkvPictureView::TkvPictureView() : handle_(NextHandle()) {
    ObjectType = kvvt::Picture;
    NamePrefix = "Picture";
    Flags = kvflag::Stretched | kvpf::KeepAspect;
    LiveHolders()[handle_] = this;
}

TkvPictureView::~TkvPictureView() {
    LiveHolders().erase(handle_);
}

const TkvPropertyTable& TkvPictureView::ClassProperties() {
    static const TkvPropertyTable table = [] {
        TkvPropertyTable t(&TkvView::ClassProperties());
        TkvPropertyBuilder<TkvPictureView> b(t);
        b.Add(
             "Picture", kvpk::Editor, [](TkvPictureView& v) { return TkvVariant(v.handle_); },
             [](TkvPictureView& v, const TkvVariant& x) {
                 const int64_t handle = x.toInt();
                 if (handle == 0) {
                     v.Picture.Clear();
                     return;
                 }
                 const auto it = LiveHolders().find(handle);
                 if (it == LiveHolders().end())
                     throw TkvVariantError("No picture has the handle " + std::to_string(handle));
                 if (it->second != &v) v.Picture = it->second->Picture;
             })
            .Editor = kv::EditorOf(&TkvEditorHooks::Picture);
        kv::AddFlagProperty(b, "Center", kvpk::Boolean, &TkvPictureView::Flags, kvpf::Center);
        kv::AddFlagProperty(b, "KeepAspect", kvpk::Boolean, &TkvPictureView::Flags, kvpf::KeepAspect);
        b.Refine("DataField", kvpk::Text | kvpk::Editor | kvpk::SingleOnly, &TkvEditorHooks::PictureField);
        kv::SetEnumItems(
            b.Add(
                "BlobType", kvpk::Enum, [](TkvPictureView& v) { return TkvVariant(int(v.BlobType)); },
                [](TkvPictureView& v, const TkvVariant& x) { v.BlobType = static_cast<uint8_t>(x.toInt()); }),
            "btBMP;btJPG;btICO;btWMF", QList<TkvVariant>{0, 1, 2, 3});
        return t;
    }();
    return table;
}

void TkvPictureView::CallMethod(const QByteArray& name, const TkvVariant& a1, const TkvVariant& a2,
                                const TkvVariant& a3, TkvVariant& result) {
    TkvView::CallMethod(name, a1, a2, a3, result);
    if (name != "LOADFROMFILE") return;
    TkvExpressionEvaluator& e = kv::RequireEvaluator();
    const QByteArray fileName = kvval::ToText(e.Evaluate(a1.toText()), e.FormatSettings());
    LoadFromFile(QFile::decodeName(fileName));
}

void TkvPictureView::RegisterProperties() {
    TkvView::RegisterProperties();
    for (const char* n : {"Picture", "Stretched", "Center", "KeepAspect", "DataField", "BlobType"})
        ListProperty(n);
}

// ---------------------------------------------------------------- record

void TkvPictureView::LoadFromStream(TkvStream& s) {
    TkvView::LoadFromStream(s);
    const uint8_t kind = s.ReadByte("the graphic kind");
    if (RecordVersion * 10 + ClassRecordVersion > 10) BlobType = s.ReadByte("the picture blob type");
    const qint64 end = s.ReadInt("the picture end position");
    const qint64 start = s.Position();
    if (end < start || end > s.Size())
        throw TkvStreamError(start, "the picture data (its stored end position " + std::to_string(end) +
                                        " lies outside the stream)");
    Picture.Clear();
    if (kind != kvgk::None) {
        Picture.Kind = kind;
        Picture.Data = s.ReadBytes(end - start, "the picture data");
    }
    s.Seek(end);
}

void TkvPictureView::SaveToStream(TkvStream& s) {
    TkvView::SaveToStream(s);
    s.WriteByte(Picture.Kind);
    s.WriteByte(BlobType);
    const qint64 at = s.Position();
    s.WriteInt(0);
    if (Picture.Kind != kvgk::None) s.WriteBytes(Picture.Data);
    const qint64 end = s.Position();
    if (end > INT_MAX) throw TkvStreamError(at, "a picture ending beyond 2 GB, which a record cannot hold");
    s.Seek(at);
    s.WriteInt(static_cast<int32_t>(end));
    s.Seek(end);
}

// ---------------------------------------------------------------- drawing and loading

void TkvPictureView::ShowEditor() {
    if (const TkvEditorProc& editor = kv::Library().Editors.Picture) editor(this);
}

void TkvPictureView::LoadFromBlob(const QByteArray& bytes, bool isNull) {
    Picture.Clear();
    if (isNull) return;
    uint8_t kind = TkvGraphic::KindOfBlobType(BlobType);
    if (kind == kvgk::None) kind = TkvGraphic::KindOfFile(bytes);
    if (kind == kvgk::None) return;
    Picture.Kind = kind;
    Picture.Data = bytes;
}

void TkvPictureView::LoadFromField(TkvDataField* field) {
    if (!field) return;
    TkvMemoryStream content;
    const bool isNull = field->IsNull();
    if (!isNull) field->BlobToStream(content);
    LoadFromBlob(content.Data(), isNull);
}

void TkvPictureView::LoadFromFile(const QString& fileName) {
    Picture.Clear();
    if (fileName.isEmpty()) return;
    QFile file(fileName);
    const QFileInfo info(file);
    if (!info.isFile() || info.size() > kMaxPictureFileSize || !file.open(QIODevice::ReadOnly)) return;
    // What the file holds, never more than the limit (read(n) reserves n bytes up front).
    const QByteArray bytes = file.read(info.size());
    if (bytes.size() > kMaxPictureFileSize) return;
    const uint8_t kind = TkvGraphic::KindOfFile(bytes, fileName);
    if (kind == kvgk::None) return;
    Picture.Kind = kind;
    Picture.Data = bytes;
}
