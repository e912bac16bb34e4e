#pragma once
// Plays the records of a TkvMetafile onto a canvas: the device-context state machine shared by
// WMF and EMF (mapping, objects, clipping, saved states, paths) and the drawing helpers both
// formats' record readers call. Internal to kvgraphics; TkvMetafile::Play is the entry point.

#include "base/byte_reader.h"
#include "graphics/metafile.h"

#include <QPolygonF>
#include <QRegion>
#include <QTransform>
#include <optional>
#include <variant>
#include <vector>

class TkvMetafilePlayer {
public:
    // `frame` is the initial WMF window (origin and signed extent) or the EMF frame in
    // reference pixels.
    TkvMetafilePlayer(const TkvMetafile& metafile, TkvCanvas& canvas, const QRect& target,
                      const QRectF& frame);
    void Run();

    // Caps on what one play may do (all counts are per play).
    static constexpr int kMaxSavedStates = 1024;
    static constexpr int kMaxObjects = 65536;
    static constexpr int64_t kMaxBitmapPixels = 200'000'000;
    static constexpr int kMaxPathPoints = 1'000'000;
    static constexpr uint32_t kMaxRecordPoints = 1u << 20; // points of one poly record

private:
    struct LogPen {
        uint32_t style = 0;
        double width = 0; // logical units; 0 = cosmetic (one device pixel)
        uint32_t color = 0;
    };
    struct LogBrush {
        uint32_t style = 0;
        uint32_t color = 0xFFFFFF;
    };
    struct LogFont {
        int height = 0, width = 0, escapement = 0, weight = 400;
        bool italic = false, underline = false, strikeOut = false;
        int charset = 1;
        QString face = QStringLiteral("Arial");
    };
    struct Region {
        QVector<QRectF> rects; // WMF: logical units; EMF: reference-device pixels
    };
    struct Placeholder {}; // palettes and other objects that take a slot but draw nothing
    using Object = std::variant<Placeholder, LogPen, LogBrush, LogFont, Region>;

    struct DcState {
        int mapMode = 1;
        QPointF windowOrg, windowExt{1, 1}, viewportOrg, viewportExt{1, 1};
        QTransform world;
        uint32_t textColor = 0, bkColor = 0xFFFFFF;
        int bkMode = 2;
        uint32_t textAlign = 0;
        int rop2 = 13;
        double charExtra = 0;
        int arcDirection = 1;
        LogPen pen;
        LogBrush brush;
        LogFont font;
        QPointF current;
        std::optional<QRegion> clip; // device pixels of the canvas
    };

    // Record readers (wmf_records.cpp, emf_records.cpp).
    void PlayWmf(uint32_t function, TkvByteReader& r);
    void PlayEmf(uint32_t type, TkvByteReader& r);
    void WmfCreateRegion(TkvByteReader& r);
    void WmfTextOut(TkvByteReader& r, bool extended);
    void WmfDib(uint32_t function, TkvByteReader& r);
    void EmfTextOut(TkvByteReader& r, bool wide, qsizetype emrTextAt, double logicalScaleX);
    void EmfBitmap(uint32_t type, TkvByteReader& r);
    void EmfSelectObject(uint32_t index);
    QPolygonF ReadPoints16(TkvByteReader& r, uint32_t count);
    QPolygonF ReadPoints32(TkvByteReader& r, uint32_t count);
    void EmfPolyPoly(TkvByteReader& r, bool closed, bool sixteen);

    // Mapping.
    void MappingChanged() { xformValid_ = false; }
    const QTransform& Xform();
    QPointF Map(QPointF logical) { return Xform().map(logical); }
    QPoint MapPoint(QPointF logical);
    // The device rectangle of a logical rectangle (right and bottom excluded), normalised.
    QRect MapRect(const QRectF& logical);
    bool AxisAligned();
    double ScaleX();
    double ScaleY();
    int DeviceLength(double logical, bool vertical);

    // State to canvas.
    TkvPen DevicePen();
    TkvBrush DeviceBrush(const LogBrush& brush);
    TkvFont DeviceFont();
    void ApplyClip();
    void SetClip(const QRegion& region, int mode);

    // Objects.
    void StoreObject(int index, Object object); // index < 0: the lowest free slot (WMF)
    void SelectObject(int index);
    void DeleteObject(int index);
    void SaveDc();
    void RestoreDc(int which);

    // Drawing in logical coordinates; in a path bracket these add figures instead.
    void DrawPolyline(const QPolygonF& logical);
    void DrawPolygon(const QPolygonF& logical);
    void DrawPolyPolygon(const std::vector<QPolygonF>& logical);
    void SelectShapeTools();
    void DrawRectangle(const QRectF& logical);
    void DrawEllipse(const QRectF& logical);
    void DrawRoundRect(const QRectF& logical, double cornerWidth, double cornerHeight);
    enum class ArcKind { Arc, Chord, Pie };
    void DrawArc(const QRectF& box, QPointF start, QPointF end, ArcKind kind, bool lineToStart = false);
    void LineTo(QPointF logical);
    void PolyBezier(const QPolygonF& logical, bool fromCurrent);
    void FillRegion(const Region& region, bool deviceUnits, const LogBrush& brush);
    void FillDeviceRect(const QRect& r, uint32_t color);
    void DrawText(QPointF logicalAt, const QString& text, const QVector<double>* logicalAdvances,
                  uint32_t options, const QRectF* logicalRect);
    void DrawBitmap(const QImage& image, const QRectF& logicalDest, QRect source, uint32_t rop);
    void PaintDevicePolygon(const QPolygon& device, bool closed, bool fill);
    void FlushPath(bool stroke, bool fill);
    QRegion PathRegion();
    // Unites rectangles (canvas pixels); past a few thousand the bounding box stands in, as
    // uniting costs grow with the square of the count.
    static QRegion RegionFromRects(const QVector<QRect>& rects);

    bool Budget(int64_t pixels);
    uint32_t PatternColor(QByteArrayView info, QByteArrayView bits, bool paletteIndices);
    // A rectangle in EMF reference pixels (regions, bounds) to canvas pixels.
    QRect MapReferenceRect(const QRectF& reference);

    const TkvMetafile& mf_;
    TkvCanvas& canvas_;
    QRect target_;
    QRectF frame_;
    bool emf_ = false;
    DcState dc_;
    std::vector<DcState> saved_;
    std::vector<std::optional<Object>> objects_;
    size_t firstFree_ = 0; // no free WMF slot below this one
    QTransform xform_;
    bool xformValid_ = false;
    QRegion baseClip_;
    bool baseHasClip_ = false;
    int64_t bitmapPixels_ = 0;

    bool inPath_ = false;
    struct Figure {
        QPolygon points;
        bool closed = false;
    };
    std::vector<Figure> path_;
    int pathPoints_ = 0;
};
