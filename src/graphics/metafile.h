#pragma once
// Windows metafiles (plain and placeable WMF, EMF) parsed once into a bounded record list and
// played onto a TkvCanvas. A file whose header is bad gives an invalid metafile that plays nothing;
// a damaged record in the middle ends the list there (what came before still plays).

#include "render/canvas.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QRectF>
#include <QSize>
#include <cstdint>
#include <vector>

enum class TkvMetafileFormat : uint8_t { None, Wmf, PlaceableWmf, Emf };

class TkvMetafile {
public:
    // Files larger than this are refused outright.
    static constexpr qsizetype kMaxBytes = 64 * 1024 * 1024;
    static constexpr int kMaxRecords = 2'000'000;

    struct Record {
        uint32_t type = 0;    // WMF function number or EMF record type
        qsizetype offset = 0; // of the parameters (after the record's own header) in the data
        qsizetype size = 0;   // of the parameters
    };

    TkvMetafile() = default;
    explicit TkvMetafile(const QByteArray& bytes) { Load(bytes); }

    // The format that the signature at the start of `bytes` announces; nothing is validated.
    static TkvMetafileFormat DetectFormat(QByteArrayView bytes);

    // Replaces the content; returns IsValid(). The bytes are kept (shared, not copied).
    bool Load(const QByteArray& bytes);
    void Clear() { *this = TkvMetafile(); }

    bool IsValid() const { return format_ != TkvMetafileFormat::None; }
    TkvMetafileFormat Format() const { return format_; }
    const QByteArray& Data() const { return data_; }
    const std::vector<Record>& Records() const { return records_; }

    // The picture frame in the space Play maps onto its target: the logical window (placeable
    // box, or the first window set, or the drawn extent) for WMF; the frame in reference-device
    // pixels for EMF. Empty when invalid.
    QRectF Bounds() const { return bounds_; }
    // The picture's natural size in screen pixels at 96 dpi (what a picture view calls its
    // width and height); empty when invalid.
    QSize SizeHint() const { return sizeHint_; }

    // Maps the frame onto `target` (device pixels of the canvas) and draws the records. Leaves
    // the canvas's pen, brush, font, clip and modes as it found them. An invalid metafile or an
    // empty target draws nothing.
    void Play(TkvCanvas& canvas, const QRect& target) const;

    // Placeable header and EMF header fields used by the player.
    struct EmfHeader {
        int32_t nHandles = 0;
        QSizeF devicePixelsPerMm{96 / 25.4, 96 / 25.4};
    };
    const EmfHeader& Emf() const { return emf_; }
    int WmfObjectCount() const { return wmfObjects_; }

private:
    bool ParseWmf(qsizetype start);
    bool ParseEmf();
    void ComputeWmfFrame();

    QByteArray data_;
    TkvMetafileFormat format_ = TkvMetafileFormat::None;
    std::vector<Record> records_;
    QRectF bounds_;
    QSize sizeHint_;
    EmfHeader emf_;
    int wmfObjects_ = 0;
    QRectF frame_; // Bounds() before normalising: a WMF window may have a negative extent
};
