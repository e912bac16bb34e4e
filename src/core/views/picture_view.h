#pragma once
// The picture object: a bitmap, metafile, icon or JPEG image stored in the report, loaded from a
// database field or a file, and drawn scaled, centred or at its own size. The graphic is kept as
// the bytes of its own file format, exactly as read, so records are written back unchanged;
// decoding is the drawing code's business, and data it cannot decode is simply not drawn.

#include "core/views/view.h"

#include <QString>
#include <memory>

class TkvVariables;
struct TkvDecodedPicture;

// Graphic kinds of the picture record.
namespace kvgk {
constexpr uint8_t None = 0;
constexpr uint8_t Bitmap = 1;
constexpr uint8_t Metafile = 2;
constexpr uint8_t Icon = 3;
constexpr uint8_t Jpeg = 4;
} // namespace kvgk

// Kinds of picture expected in a database field (BlobType; names btBMP, btJPG, btICO, btWMF).
namespace kvblob {
constexpr uint8_t Bitmap = 0;
constexpr uint8_t Jpeg = 1;
constexpr uint8_t Icon = 2;
constexpr uint8_t Metafile = 3;
} // namespace kvblob

// Flag bits of a picture object (bit 0, stretched, scales the picture to the object).
namespace kvpf {
constexpr uint16_t Center = 0x0002;
constexpr uint16_t KeepAspect = 0x0004;
} // namespace kvpf

// The graphic of a picture view: its kind and its file bytes (a bitmap file, a Windows or enhanced
// metafile, an icon file or a JPEG file). A kind the library does not know keeps its bytes too.
struct TkvGraphic {
    uint8_t Kind = kvgk::None;
    QByteArray Data;
    bool IsEmpty() const { return Kind == kvgk::None || Data.isEmpty(); }
    void Clear() { *this = {}; }
    bool operator==(const TkvGraphic&) const = default;

    // The graphic kind of a database field of the given BlobType.
    static uint8_t KindOfBlobType(uint8_t blobType);
    // The kind of file bytes, recognised by their signature and, failing that, by the file name's
    // extension; kvgk::None when neither tells.
    static uint8_t KindOfFile(const QByteArray& bytes, const QString& fileName = {});
};

namespace kv {
// Defines btBMP, btJPG, btICO and btWMF (0 to 3) in a constants list, where expressions and
// scripts find them; start-up calls it for the library's constants list.
void DefineBlobTypeConstants(TkvVariables& constants);
} // namespace kv

class TkvPictureView : public TkvView {
public:
    TkvPictureView();
    ~TkvPictureView() override;
    TkvPictureView(const TkvPictureView&) = delete;
    TkvPictureView& operator=(const TkvPictureView&) = delete;
    const char* ClassName() const override { return "TkvPictureView"; }

    // TkvView's names, then "CENTER", "KEEPASPECT", "BLOBTYPE" and "PICTURE". "PICTURE" reads as the
    // integer handle of this view's picture holder; setting it copies the picture of the holder that
    // handle names (0 empties the picture; a handle of no live holder raises TkvVariantError).
    static const TkvPropertyTable& ClassProperties();
    const TkvPropertyTable& Properties() const override { return ClassProperties(); }
    // TkvView's methods, then "LOADFROMFILE" (file name expression as first argument).
    void CallMethod(const QByteArray& name, const TkvVariant& a1, const TkvVariant& a2, const TkvVariant& a3,
                    TkvVariant& result) override;
    void RegisterProperties() override;

    // The common record, then the picture tail. Reading always ends at the stored end position;
    // an end position outside the stream (or the record's bound) raises TkvStreamError.
    void LoadFromStream(TkvStream& stream) override;
    void SaveToStream(TkvStream& stream) override;

    // Background, the graphic scaled as the flags say (or, while designing, a placeholder for an
    // empty picture), frame. Bytes that do not decode draw nothing: a bad picture never stops a page.
    void Draw(TkvCanvas& canvas) override;
    // Draws the graphic into r (device pixels). Printers get bitmaps and JPEG images as 24-bit
    // pixels stretched without smoothing, metafiles as vector records, and icons not at all.
    void DrawGraphic(TkvCanvas& canvas, const QRect& r);
    // The picture's size in pixels as drawing uses it (a metafile's at 96 dpi); empty when there is
    // no picture or its bytes do not decode.
    QSize GraphicSize();
    void ShowEditor() override;

    // Loads the picture as a database field of BlobType holds it; a null field empties it.
    void LoadFromBlob(const QByteArray& bytes, bool isNull);
    // LoadFromBlob with the field's bytes.
    void LoadFromField(TkvDataField* field) override;
    // Loads the picture from a file; a missing, unreadable or unrecognised file empties it.
    void LoadFromFile(const QString& fileName);

    // The handle under which scripts see this view's picture holder.
    int64_t PictureHandle() const { return handle_; }

    // --- fields
    TkvGraphic Picture;
    uint8_t BlobType = kvblob::Bitmap;

    // Files larger than this are not loaded as pictures (a picture record cannot hold 2 GB anyway).
    static constexpr qint64 kMaxPictureFileSize = 512LL * 1024 * 1024;

private:
    // The decoded graphic, made on first use and remade when Picture's kind or bytes change.
    const TkvDecodedPicture* Decoded();
    // Where the graphic goes inside InnerRect (after ScaleForDrawing), for a picture of that size.
    QRect GraphicTarget(QSize pictureSize) const;
    void DrawEmptyPlaceholder(TkvCanvas& canvas);

    int64_t handle_;
    std::shared_ptr<TkvDecodedPicture> decoded_; // shared_ptr: the type is complete only where drawn
};
