#pragma once
// Builds report records byte by byte in the layout of any stream version, so reader tests can feed
// hand-made images of old files. Strings and memos take the encoding of the builder's version.

#include "core/globals.h"
#include "base/stream.h"
#include "base/stream_text.h"

#include <QByteArray>
#include <QtEndian>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace kvtest {

class RecordBuilder {
public:
    explicit RecordBuilder(int version) : version_(version) {}

    int Version() const { return version_; }
    const QByteArray& Bytes() const { return bytes_; }
    qint64 Size() const { return bytes_.size(); }

    RecordBuilder& U8(uint8_t v) {
        bytes_.append(char(v));
        return *this;
    }
    RecordBuilder& U16(uint16_t v) {
        uchar b[2];
        qToLittleEndian<quint16>(v, b);
        bytes_.append(reinterpret_cast<const char*>(b), 2);
        return *this;
    }
    RecordBuilder& I32(int32_t v) {
        uchar b[4];
        qToLittleEndian<qint32>(v, b);
        bytes_.append(reinterpret_cast<const char*>(b), 4);
        return *this;
    }
    RecordBuilder& U32(uint32_t v) { return I32(static_cast<int32_t>(v)); }
    RecordBuilder& Raw(const QByteArray& bytes) {
        bytes_.append(bytes);
        return *this;
    }
    // Stream string: below version 23 the characters and a 0 byte, else length word, text, end mark.
    RecordBuilder& Str(const QByteArray& text) {
        if (version_ < 23) return Raw(text).U8(0);
        return U16(static_cast<uint16_t>(text.size())).Raw(text).U8(0);
    }
    // Stream memo: below version 23 the lines joined by 13 and a 0 byte, else count, then per line
    // length, text and separator (13 between lines, 0 after the last; an empty list is count 0 and 0).
    RecordBuilder& Memo(const TkvStringList& lines) {
        if (version_ < 23) return Raw(lines.join('\r')).U8(0);
        U16(static_cast<uint16_t>(lines.size()));
        if (lines.isEmpty()) return U8(0);
        for (qsizetype i = 0; i < lines.size(); ++i)
            U16(static_cast<uint16_t>(lines[i].size())).Raw(lines[i]).U8(i + 1 < lines.size() ? 13 : 0);
        return *this;
    }

private:
    QByteArray bytes_;
    int version_;
};

// Values of the common view record. AppendViewRecord writes the items that a record of the
// builder's version carries, with or without the prepared flag.
struct ViewRecordFields {
    QByteArray Name = "Obj7";
    uint8_t RecordVersion = 2;
    uint8_t ClassRecordVersion = 0;
    int32_t Left = 10, Top = 20, Width = 100, Height = 30;
    uint16_t Flags = 0x0001;
    uint16_t FrameTyp = 15;
    int32_t StoredFrameWidth = 1500; // coded: up to 10 whole units, else thousandths
    uint32_t FrameColor = 0x0000FF;
    uint16_t FrameStyle = 1;
    uint32_t FillColor = 0x00FFFF;
    uint32_t DisplayFormat = 0x22C;
    QByteArray DisplayFormatText = "#,##0.00";
    TkvStringList Lines = {"first", "second"};
    TkvStringList Script = {"begin", "end"};
    uint16_t Visible = 0;
    uint16_t Restrictions = 0x41;
    QByteArray Tag = "tag";
    int32_t GapX = 5, GapY = 6;
    uint8_t BandAlign = 3;
};

inline void AppendViewRecord(RecordBuilder& b, const ViewRecordFields& r, bool prepared) {
    const int v = b.Version();
    if (v > 23 || (v == 23 && !prepared)) b.Str(r.Name);
    if (v >= 24) b.U8(r.RecordVersion).U8(r.ClassRecordVersion);
    b.I32(r.Left).I32(r.Top).I32(r.Width).I32(r.Height);
    b.U16(r.Flags)
        .U16(r.FrameTyp)
        .I32(r.StoredFrameWidth)
        .U32(r.FrameColor)
        .U16(r.FrameStyle)
        .U32(r.FillColor);
    if (!prepared) b.U32(r.DisplayFormat).Str(r.DisplayFormatText);
    b.Memo(r.Lines);
    if (v >= 23 && !prepared) b.Memo(r.Script).U16(r.Visible);
    if (v >= 24) b.U16(r.Restrictions).Str(r.Tag).I32(r.GapX).I32(r.GapY);
    // Records before version 24 leave RecordVersion at 0, so they have no band alignment byte.
    if (v >= 24 && r.RecordVersion > 1) b.U8(r.BandAlign);
}

// Reads a record into a view the way the page and template readers do: StreamVersion set, the
// prepared flag set only while the record is read.
template <class View>
std::unique_ptr<View> ReadRecord(const QByteArray& bytes, int version, bool prepared,
                                 qint64* endPos = nullptr) {
    kv::StreamVersion = static_cast<uint8_t>(version);
    auto view = std::make_unique<View>();
    view->Prepared = prepared ? 1 : 0;
    TkvMemoryStream s(bytes);
    view->LoadFromStream(s);
    view->Prepared = 0;
    if (endPos) *endPos = s.Position();
    return view;
}

// Writes a view's record in the current layout (StreamVersion does not matter to writers).
template <class View> QByteArray WriteRecord(View& view, bool prepared) {
    view.Prepared = prepared ? 1 : 0;
    TkvMemoryStream s;
    view.SaveToStream(s);
    view.Prepared = 0;
    return s.TakeData();
}

// Every strict prefix of a valid record must raise the stream error, never read past the data.
template <class View> void ExpectEveryPrefixFails(const QByteArray& record, int version, bool prepared) {
    for (qsizetype n = 0; n < record.size(); ++n) {
        SCOPED_TRACE(testing::Message() << "prefix of " << n << " of " << record.size() << " bytes");
        EXPECT_THROW(ReadRecord<View>(record.left(n), version, prepared), TkvStreamError);
    }
}

} // namespace kvtest
