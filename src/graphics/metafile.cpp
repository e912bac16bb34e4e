#include "graphics/metafile.h"

#include "base/byte_reader.h"
#include "graphics/image_limits.h"
#include "graphics/metafile_player.h"
#include "graphics/metafile_records.h"

#include <algorithm>
#include <cmath>

using namespace kv;

namespace {

int RoundSize(double v) {
    return int(std::clamp(std::nearbyint(std::abs(v)), 1.0, double(kMaxImageSide)));
}

// Collects the extent of everything drawn: the frame of a plain WMF that never sets its window.
class TkvBoundsCanvas : public TkvCanvas {
public:
    QRect bounds;

    int DpiX() const override { return 96; }
    int DpiY() const override { return 96; }
    void SetPen(const TkvPen& pen) override { pen_ = pen; }
    void SetBrush(const TkvBrush& brush) override { brush_ = brush; }
    void SetFont(const TkvFont& font) override { font_ = font; }
    void SetBkOpaque(bool opaque) override { bkOpaque_ = opaque; }
    void SetCharSpacing(int pixels) override { charSpacing_ = pixels; }
    void DrawLine(QPoint from, QPoint to) override { Add(QRect(from, to).normalized()); }
    void FillRect(const QRect& r) override { Add(r); }
    void Rectangle(const QRect& r) override { Add(r); }
    void Ellipse(const QRect& r) override { Add(r); }
    void RoundRect(const QRect& r, int, int) override { Add(r); }
    void Polygon(const QPolygon& points) override { Add(points.boundingRect()); }
    void Polyline(const QPolygon& points) override { Add(points.boundingRect()); }
    void TextOut(QPoint at, const QString& text, const QRect*, const QVector<int>*) override {
        Add(QRect(at, TextExtent(text)));
    }
    void DrawImage(const QRect& target, const QImage&, bool) override { Add(target); }
    QSize TextExtent(const QString& text) override {
        const int h = std::max(1, std::abs(font_.height));
        return QSize(int(std::min<qsizetype>(text.size(), 1 << 16)) * h / 2, h);
    }
    TkvTextMetrics TextMetrics() override {
        const int h = std::max(1, std::abs(font_.height));
        return TkvTextMetrics{h, h * 4 / 5, h - h * 4 / 5, 0, 0, h / 2};
    }
    void SetClipRegion(const QRegion&) override {}
    void ClearClip() override {}
    QRegion ClipRegion() const override { return {}; }
    bool HasClip() const override { return false; }
    void Save() override {}
    void Restore() override {}

private:
    void Add(const QRect& r) { bounds |= r.normalized(); }
};

} // namespace

TkvMetafileFormat TkvMetafile::DetectFormat(QByteArrayView bytes) {
    TkvByteReader r(bytes);
    if (bytes.size() >= 4 && r.U32At(0) == wmf::kPlaceableKey) return TkvMetafileFormat::PlaceableWmf;
    if (bytes.size() >= 44 && r.U32At(0) == emf::Header && r.U32At(40) == emf::kSignature)
        return TkvMetafileFormat::Emf;
    if (bytes.size() >= 18) {
        const uint16_t type = r.U16At(0), headerSize = r.U16At(2), version = r.U16At(4);
        if ((type == 1 || type == 2) && headerSize == 9 && (version == 0x0100 || version == 0x0300))
            return TkvMetafileFormat::Wmf;
    }
    return TkvMetafileFormat::None;
}

bool TkvMetafile::Load(const QByteArray& bytes) {
    Clear();
    if (bytes.size() > kMaxBytes) return false;
    data_ = bytes;
    const TkvMetafileFormat format = DetectFormat(data_);
    bool ok = false;
    try {
        if (format == TkvMetafileFormat::Emf) {
            ok = ParseEmf();
        } else if (format == TkvMetafileFormat::PlaceableWmf || format == TkvMetafileFormat::Wmf) {
            format_ = format; // the frame computation plays the records
            ok = ParseWmf(format == TkvMetafileFormat::PlaceableWmf ? 22 : 0);
        }
    } catch (const TkvGraphicFormatError&) {
        ok = false;
    }
    if (!ok) {
        Clear();
        return false;
    }
    format_ = format;
    return true;
}

bool TkvMetafile::ParseWmf(qsizetype start) {
    TkvByteReader r(data_);
    QRectF box;
    int inch = 0;
    if (start > 0) {
        r.Skip(6); // key, handle
        const int left = r.I16(), top = r.I16(), right = r.I16(), bottom = r.I16();
        inch = r.U16();
        box = QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
        r.Seek(start);
    }
    const uint16_t type = r.U16(), headerWords = r.U16();
    r.U16(); // version
    r.U32(); // size
    wmfObjects_ = r.U16();
    r.U32(); // largest record
    r.U16();
    if ((type != 1 && type != 2) || headerWords < 9) return false;
    r.Seek(start + qsizetype(headerWords) * 2);

    // Records up to the end record; a damaged or cut-off record ends the list there.
    while (r.Left() >= 6 && records_.size() < size_t(kMaxRecords)) {
        const uint32_t words = r.U32();
        const uint16_t function = r.U16();
        if (function == wmf::Eof || words < 3 || uint64_t(words) * 2 - 6 > uint64_t(r.Left())) break;
        records_.push_back(Record{function, r.Pos(), qsizetype(words) * 2 - 6});
        r.Skip(qsizetype(words) * 2 - 6);
    }

    if (box.width() > 0 && box.height() > 0) {
        frame_ = box;
        if (inch <= 0) inch = 1440;
        sizeHint_ = QSize(RoundSize(box.width() * 96 / inch), RoundSize(box.height() * 96 / inch));
    } else {
        ComputeWmfFrame();
    }
    bounds_ = frame_.normalized();
    return frame_.width() != 0 && frame_.height() != 0;
}

void TkvMetafile::ComputeWmfFrame() {
    // The window the records set first; without one, the extent of what they draw.
    std::optional<QPointF> org, ext;
    const QByteArrayView data(data_);
    for (const Record& rec : records_) {
        if (rec.size < 4 || (rec.type != wmf::SetWindowOrg && rec.type != wmf::SetWindowExt)) continue;
        TkvByteReader p(data.sliced(rec.offset, rec.size));
        const int y = p.I16(), x = p.I16();
        if (rec.type == wmf::SetWindowOrg && !org) org = QPointF(x, y);
        if (rec.type == wmf::SetWindowExt && !ext && x != 0 && y != 0) ext = QPointF(x, y);
        if (org && ext) break;
    }
    if (ext) {
        const QPointF o = org.value_or(QPointF());
        frame_ = QRectF(o.x(), o.y(), ext->x(), ext->y());
    } else {
        TkvBoundsCanvas canvas;
        TkvMetafilePlayer(*this, canvas, QRect(0, 0, 1, 1), QRectF(0, 0, 1, 1)).Run();
        if (canvas.bounds.isEmpty()) return;
        frame_ = QRectF(canvas.bounds);
    }
    sizeHint_ = QSize(RoundSize(frame_.width()), RoundSize(frame_.height()));
}

bool TkvMetafile::ParseEmf() {
    TkvByteReader r(data_);
    const uint32_t headerSize = r.U32At(4);
    if (headerSize < 88 || headerSize > uint32_t(data_.size())) return false;
    r.Seek(8);
    const int32_t bl = r.I32(), bt = r.I32(), br = r.I32(), bb = r.I32();
    const int32_t fl = r.I32(), ft = r.I32(), fr = r.I32(), fb = r.I32();
    r.Seek(56);
    emf_.nHandles = r.U16();
    r.Seek(72);
    const int32_t devX = r.I32(), devY = r.I32(), mmX = r.I32(), mmY = r.I32();
    if (devX > 0 && devY > 0 && mmX > 0 && mmY > 0) {
        const double px = double(devX) / mmX, py = double(devY) / mmY;
        if (px > 0.01 && px < 10000 && py > 0.01 && py < 10000) emf_.devicePixelsPerMm = QSizeF(px, py);
    }
    const QSizeF ppmm = emf_.devicePixelsPerMm;
    if (int64_t(fr) - fl > 0 && int64_t(fb) - ft > 0) {
        frame_ = QRectF(fl * ppmm.width() / 100, ft * ppmm.height() / 100,
                        (double(fr) - fl) * ppmm.width() / 100, (double(fb) - ft) * ppmm.height() / 100);
        sizeHint_ = QSize(RoundSize((double(fr) - fl) * 96 / 2540), RoundSize((double(fb) - ft) * 96 / 2540));
    } else if (int64_t(br) - bl >= 0 && int64_t(bb) - bt >= 0) {
        // No frame: the bounds, inclusive device pixels, stand in for it.
        frame_ = QRectF(bl, bt, double(br) - bl + 1, double(bb) - bt + 1);
        sizeHint_ = QSize(RoundSize(frame_.width() * 96 / (ppmm.width() * 25.4)),
                          RoundSize(frame_.height() * 96 / (ppmm.height() * 25.4)));
    } else {
        return false;
    }
    bounds_ = frame_;

    r.Seek(headerSize);
    while (r.Left() >= 8 && records_.size() < size_t(kMaxRecords)) {
        const uint32_t type = r.U32(), size = r.U32();
        if (type == emf::Eof || size < 8 || size - 8 > uint64_t(r.Left())) break;
        records_.push_back(Record{type, r.Pos(), qsizetype(size) - 8});
        r.Skip(qsizetype(size) - 8);
    }
    return true;
}

void TkvMetafile::Play(TkvCanvas& canvas, const QRect& target) const {
    if (!IsValid() || target.isEmpty()) return;
    TkvMetafilePlayer(*this, canvas, target, frame_).Run();
}
