#pragma once
// Shared by the band view, dialog control and rich text tests: stream images laid out the way a
// writer of a given stream version did, and a canvas that notes what was drawn.

#include "core/globals.h"
#include "base/stream_text.h"
#include "render/canvas.h"

#include <QByteArray>
#include <vector>

namespace kvtest {

inline void PutString(TkvStream& s, int version, const QByteArray& text) {
    if (version < 23) {
        s.WriteBytes(text);
        s.WriteByte(0);
    } else {
        kv::WriteStreamString(s, text);
    }
}

inline void PutMemo(TkvStream& s, int version, const TkvStringList& lines) {
    if (version < 23) {
        s.WriteBytes(lines.join('\r'));
        s.WriteByte(0);
    } else {
        kv::WriteStreamMemo(s, lines);
    }
}

// What the common record of a test object holds.
struct CommonRecord {
    QByteArray name = "Obj5";
    uint8_t recordVersion = 2;
    uint8_t classRecordVersion = 1;
    int32_t left = 10, top = 40, width = 700, height = 60;
    uint16_t flags = 0x0031;
    uint16_t frameTyp = 5;
    uint32_t fillColor = 0x1FFFFFFF;
    QByteArray displayFormatText = "Customers";
    TkvStringList memo{"memo line"};
    TkvStringList script{"begin", "end"};
};

// The common record as a writer of `version` laid it out (a template record, Prepared 0, unless
// `prepared`).
inline void PutCommonRecord(TkvStream& s, int version, const CommonRecord& r, bool prepared = false) {
    if (version > 23 || (version == 23 && !prepared)) PutString(s, version, r.name);
    if (version >= 24) {
        s.WriteByte(r.recordVersion);
        s.WriteByte(r.classRecordVersion);
    }
    s.WriteInt(r.left);
    s.WriteInt(r.top);
    s.WriteInt(r.width);
    s.WriteInt(r.height);
    s.WriteWord(r.flags);
    s.WriteWord(r.frameTyp);
    s.WriteInt(1); // frame width 1.0
    s.WriteInt(0); // frame colour
    s.WriteWord(0);
    s.WriteUInt(r.fillColor);
    if (!prepared) {
        s.WriteInt(0);
        PutString(s, version, r.displayFormatText);
    }
    PutMemo(s, version, r.memo);
    if (version >= 23 && !prepared) {
        PutMemo(s, version, r.script);
        s.WriteWord(0xFFFF);
    }
    if (version >= 24) {
        s.WriteWord(0);
        PutString(s, version, "");
        s.WriteInt(2);
        s.WriteInt(1);
    }
    if (version >= 24 && r.recordVersion > 1) s.WriteByte(0);
}

// Puts back the current objects and flags the test changes, and the stream version.
struct GlobalsGuard {
    TkvCurrentObjectsScope current{kv::Library().Current};
    ~GlobalsGuard() { kv::StreamVersion = kv::CurrentStreamVersion; }
};

// Notes images, lines and texts; measures every character as `charWidth` pixels.
class NoteCanvas : public TkvCanvas {
public:
    struct Image {
        QRect target;
        QImage image;
    };
    struct Text {
        QPoint at;
        QString text;
        int escapement;
    };

    int charWidth = 6;
    std::vector<Image> images;
    std::vector<std::pair<QPoint, QPoint>> lines;
    std::vector<QRect> rectangles;
    std::vector<QRect> fills;
    std::vector<Text> texts;

    int DpiX() const override { return 96; }
    int DpiY() const override { return 96; }
    void SetPen(const TkvPen& pen) override { pen_ = pen; }
    void SetBrush(const TkvBrush& brush) override { brush_ = brush; }
    void SetFont(const TkvFont& font) override { font_ = font; }
    void SetBkOpaque(bool opaque) override { bkOpaque_ = opaque; }
    void SetCharSpacing(int pixels) override { charSpacing_ = pixels; }
    void DrawLine(QPoint from, QPoint to) override { lines.emplace_back(from, to); }
    void FillRect(const QRect& r) override { fills.push_back(r); }
    void Rectangle(const QRect& r) override { rectangles.push_back(r); }
    void Ellipse(const QRect&) override {}
    void RoundRect(const QRect&, int, int) override {}
    void Polygon(const QPolygon&) override {}
    void Polyline(const QPolygon&) override {}
    void TextOut(QPoint at, const QString& text, const QRect*, const QVector<int>*) override {
        texts.push_back({at, text, font_.escapement});
    }
    void DrawImage(const QRect& target, const QImage& image, bool) override {
        images.push_back({target, image});
    }
    QSize TextExtent(const QString& text) override { return QSize(int(text.size()) * charWidth, 13); }
    TkvTextMetrics TextMetrics() override { return {13, 11, 2, 0, 0, charWidth}; }
    void SetClipRegion(const QRegion&) override {}
    void ClearClip() override {}
    QRegion ClipRegion() const override { return {}; }
    bool HasClip() const override { return false; }
    void Save() override { saved_ = {pen_, brush_, font_}; }
    void Restore() override {
        pen_ = saved_.pen;
        brush_ = saved_.brush;
        font_ = saved_.font;
    }

private:
    struct State {
        TkvPen pen;
        TkvBrush brush;
        TkvFont font;
    } saved_;
};

} // namespace kvtest
