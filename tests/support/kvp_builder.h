#pragma once
// Hand-built prepared report files (.kvp) for tests, tools and benchmarks: every layout the reader
// accepts (version-less, versions 24 to 31, the picture layout of the oldest files) and view records
// of stream versions 21 to 25, written byte by byte without the library's writers, so that the
// library's readers are checked against the layout and not against themselves.

#include <QByteArray>
#include <QList>
#include <QtEndian>
#include <cstdint>
#include <vector>

namespace kvpfile {

// A little-endian byte writer.
class Bytes {
public:
    Bytes& U8(uint8_t v) {
        data.append(static_cast<char>(v));
        return *this;
    }
    Bytes& U16(uint16_t v) {
        uchar b[2];
        qToLittleEndian<quint16>(v, b);
        data.append(reinterpret_cast<const char*>(b), 2);
        return *this;
    }
    Bytes& I32(int32_t v) {
        uchar b[4];
        qToLittleEndian<qint32>(v, b);
        data.append(reinterpret_cast<const char*>(b), 4);
        return *this;
    }
    Bytes& Raw(const QByteArray& bytes) {
        data.append(bytes);
        return *this;
    }
    // Stream string: from version 23 a 16-bit length, the bytes and a 0; before, the bytes and a 0.
    Bytes& Str(const QByteArray& s, int version = 25) {
        if (version >= 23) U16(static_cast<uint16_t>(s.size()));
        data.append(s);
        return U8(0);
    }
    // Stream memo: from version 23 a line count, then per line a length, the bytes and 13 (0 after the
    // last line), or a lone 0 for no lines; before, the lines each ended by 13 and a final 0.
    Bytes& Memo(const QList<QByteArray>& lines, int version = 25) {
        if (version < 23) {
            for (const QByteArray& l : lines)
                data.append(l).append('\r');
            return U8(0);
        }
        U16(static_cast<uint16_t>(lines.size()));
        if (lines.isEmpty()) return U8(0);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            U16(static_cast<uint16_t>(lines[i].size()));
            data.append(lines[i]);
            U8(i + 1 < lines.size() ? 13 : 0);
        }
        return *this;
    }
    qsizetype Size() const { return data.size(); }
    void PatchI32(qsizetype at, int32_t v) { qToLittleEndian<qint32>(v, data.data() + at); }

    QByteArray data;
};

// The common view record as read with Prepared set.
struct CommonRecord {
    QByteArray Name = "View1"; // written from version 24 on (a prepared record of 23 has none)
    uint8_t RecordVersion = 2, ClassRecordVersion = 0;
    int32_t Left = 10, Top = 20, Width = 100, Height = 30;
    uint16_t Flags = 0;
    uint16_t FrameTyp = 0;
    int32_t FrameWidth = 1; // as stored (whole units up to 10, else thousandths)
    uint32_t FrameColor = 0;
    uint16_t FrameStyle = 0;
    uint32_t FillColor = 0x1FFFFFFF;
    QList<QByteArray> Memo;
    uint16_t Restrictions = 0;
    QByteArray Tag;
    int32_t GapX = 2, GapY = 1;
    uint8_t BandAlign = 0;
};

inline void WriteCommon(Bytes& b, const CommonRecord& r, int version) {
    if (version > 23) b.Str(r.Name, version);
    if (version >= 24) b.U8(r.RecordVersion).U8(r.ClassRecordVersion);
    b.I32(r.Left).I32(r.Top).I32(r.Width).I32(r.Height);
    b.U16(r.Flags).U16(r.FrameTyp).I32(r.FrameWidth).I32(static_cast<int32_t>(r.FrameColor));
    b.U16(r.FrameStyle).I32(static_cast<int32_t>(r.FillColor));
    b.Memo(r.Memo, version);
    if (version >= 24) {
        b.U16(r.Restrictions).Str(r.Tag, version).I32(r.GapX).I32(r.GapY);
        if (r.RecordVersion > 1) b.U8(r.BandAlign);
    }
}

struct TextTail {
    QByteArray FontName = "Arial";
    int32_t FontSize = 10;
    uint16_t FontStyle = 0;
    uint32_t FontColor = 0;
    int32_t Alignment = 0;
    uint16_t Charset = 1;
    int32_t LineSpacing = 2, CharSpacing = 0; // version 24 on
};

struct BandTail {
    QByteArray ChildBand, Master;
    int32_t Columns = 1, ColumnWidth = 200, ColumnGap = 20, NewColumnAfter = 1;
};

// The packed stream of one page: the stream version byte, then object entries. Positions stored in
// records (picture and rich text ends) are positions in this stream.
class PackedPage {
public:
    explicit PackedPage(int version = 25) : version_(version) { b_.U8(static_cast<uint8_t>(version)); }

    PackedPage& Text(const CommonRecord& r, const TextTail& t = {}) {
        b_.U8(0);
        WriteCommon(b_, r, version_);
        b_.Str(t.FontName, version_).I32(t.FontSize).U16(t.FontStyle).I32(static_cast<int32_t>(t.FontColor));
        b_.I32(t.Alignment).U16(t.Charset);
        if (version_ >= 24) b_.I32(t.LineSpacing).I32(t.CharSpacing);
        return *this;
    }
    // kind: 0 none, 1 bitmap, 2 metafile, 3 icon, 4 JPEG. endDelta moves the stored end position.
    PackedPage& Picture(const CommonRecord& r, uint8_t kind, const QByteArray& data, uint8_t blobType = 0,
                        int endDelta = 0) {
        b_.U8(1);
        WriteCommon(b_, r, version_);
        b_.U8(kind);
        if (version_ >= 24 && r.RecordVersion * 10 + r.ClassRecordVersion > 10) b_.U8(blobType);
        const qsizetype at = b_.Size();
        b_.I32(0).Raw(data);
        b_.PatchI32(at, static_cast<int32_t>(b_.Size()) + endDelta);
        return *this;
    }
    PackedPage& Band(const CommonRecord& r, const BandTail& t = {}) {
        b_.U8(2);
        WriteCommon(b_, r, version_);
        if (version_ > 23) {
            b_.Str(t.ChildBand, version_)
                .I32(t.Columns)
                .I32(t.ColumnWidth)
                .I32(t.ColumnGap)
                .I32(t.NewColumnAfter);
            if (r.RecordVersion * 10 + r.ClassRecordVersion > 20) b_.Str(t.Master, version_);
        }
        return *this;
    }
    PackedPage& SubReport(const CommonRecord& r, int32_t subPageIndex) {
        b_.U8(3);
        WriteCommon(b_, r, version_);
        b_.I32(subPageIndex);
        return *this;
    }
    PackedPage& Line(const CommonRecord& r) {
        b_.U8(4);
        WriteCommon(b_, r, version_);
        return *this;
    }
    PackedPage& Rich(const CommonRecord& r, const QByteArray& rtf, int endDelta = 0) {
        b_.U8(10).Str("TkvRichView", version_);
        WriteCommon(b_, r, version_);
        b_.U8(rtf.isEmpty() ? 0 : 1);
        const qsizetype at = b_.Size();
        b_.I32(0).Raw(rtf);
        b_.PatchI32(at, static_cast<int32_t>(b_.Size()) + endDelta);
        return *this;
    }
    // An add-in entry with the common record only (a class the test may leave unregistered).
    PackedPage& AddIn(const QByteArray& className, const CommonRecord& r) {
        b_.U8(10).Str(className, version_);
        WriteCommon(b_, r, version_);
        return *this;
    }
    PackedPage& RawBytes(const QByteArray& bytes) {
        b_.Raw(bytes);
        return *this;
    }
    QByteArray Data() const { return b_.data; }

private:
    int version_;
    Bytes b_;
};

struct PageSpec {
    int16_t PaperSize = 9;
    int32_t PaperWidth = 2100, PaperHeight = 2970;
    uint8_t Orientation = 0;
    int32_t PaperBin = 65535; // written from version 24 on
    uint8_t UseMargins = 1;
    int32_t Margins[4] = {0, 0, 0, 0};         // written from version 24 on
    QByteArray Data = QByteArray(1, char(25)); // packed stream (or metafile in the picture layout)
    int GapBytes = 0;                          // bytes after the data that the next offset still covers
};

struct FileSpec {
    int Version = 25; // 0: no version byte
    uint8_t Compressed = 0;
    bool PictureLayout = false; // the oldest layout: old-encoding memo, then pages holding a metafile
    QByteArray PrinterName = "Virtual printer";
    std::vector<PageSpec> Pages;
    uint8_t WriterMark = 88;
    bool WriteMark = true;
};

inline QByteArray BuildKvp(const FileSpec& f) {
    Bytes b;
    const bool binAndMargins = !f.PictureLayout && f.Version >= 24;
    if (f.PictureLayout) {
        b.Memo({f.PrinterName}, 0);
    } else {
        if (f.Version != 0) b.U8(static_cast<uint8_t>(f.Version));
        b.U8(f.Compressed).Str(f.PrinterName, 25);
    }
    b.I32(static_cast<int32_t>(f.Pages.size()));
    for (const PageSpec& p : f.Pages) {
        const qsizetype at = b.Size();
        b.I32(0)
            .U16(static_cast<uint16_t>(p.PaperSize))
            .I32(p.PaperWidth)
            .I32(p.PaperHeight)
            .U8(p.Orientation);
        if (binAndMargins) b.I32(p.PaperBin);
        b.U8(p.UseMargins);
        if (binAndMargins)
            for (int32_t m : p.Margins)
                b.I32(m);
        b.Raw(p.Data).Raw(QByteArray(p.GapBytes, '\0'));
        b.PatchI32(at, static_cast<int32_t>(b.Size()));
    }
    if (f.WriteMark) b.U8(f.WriterMark);
    return b.data;
}

// A realistic page: a title, a band of table rows (text views with frames), lines, a picture and a
// page-number footer; about `objects` views.
inline QByteArray RealisticPage(int pageNo, int objects = 60) {
    PackedPage page;
    CommonRecord title;
    title.Name = "Title";
    title.Left = 40, title.Top = 30, title.Width = 680, title.Height = 40;
    title.Memo = {"Quarterly sales report"};
    TextTail big;
    big.FontSize = 16;
    big.FontStyle = 2;
    big.Alignment = 2;
    page.Text(title, big);
    int n = 1;
    for (int row = 0; n < objects - 3; ++row) {
        for (int col = 0; col < 4 && n < objects - 3; ++col, ++n) {
            CommonRecord cell;
            cell.Name = "Memo" + QByteArray::number(n);
            cell.Left = 40 + col * 170, cell.Top = 90 + row * 20, cell.Width = 170, cell.Height = 20;
            cell.FrameTyp = 15;
            cell.Memo = {"Row " + QByteArray::number(row + 1) + " item " + QByteArray::number(col + 1) +
                         " on page " + QByteArray::number(pageNo)};
            page.Text(cell);
        }
    }
    CommonRecord line;
    line.Name = "Line1";
    line.Left = 40, line.Top = 1000, line.Width = 680, line.Height = 0;
    line.FrameTyp = 8;
    page.Line(line);
    CommonRecord pic;
    pic.Name = "Picture1";
    pic.Left = 600, pic.Top = 20, pic.Width = 100, pic.Height = 50;
    page.Picture(pic, 1, QByteArray("BM") + QByteArray(62, '\x01'));
    CommonRecord footer;
    footer.Name = "PageNo";
    footer.Left = 40, footer.Top = 1010, footer.Width = 680, footer.Height = 20;
    footer.Memo = {"Page " + QByteArray::number(pageNo)};
    page.Text(footer);
    return page.Data();
}

} // namespace kvpfile
