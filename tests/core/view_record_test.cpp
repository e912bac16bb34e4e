// The common view record: every accepted stream version, the current layout on write,
// frame width coding and truncated input.
#include "core/globals.h"
#include "base/stream_text.h"
#include "core/views/view.h"

#include <gtest/gtest.h>

namespace {

class PlainView : public TkvView {
public:
    void Draw(TkvCanvas&) override {}
};

// Restores the library-wide values a test changes.
class ViewRecordTest : public ::testing::Test {
protected:
    void TearDown() override {
        kv::StreamVersion = kv::CurrentStreamVersion;
        kv::CurReport() = nullptr;
    }
};

// Writes a string/memo in the encoding of a given stream version.
void PutString(TkvStream& s, int version, const QByteArray& text) {
    if (version < 23) {
        s.WriteBytes(text);
        s.WriteByte(0);
    } else {
        kv::WriteStreamString(s, text);
    }
}

void PutMemo(TkvStream& s, int version, const TkvStringList& lines) {
    if (version < 23) {
        s.WriteBytes(lines.join('\r'));
        s.WriteByte(0);
    } else {
        kv::WriteStreamMemo(s, lines);
    }
}

struct RecordCase {
    int version;
    bool prepared;
    uint8_t recordVersion; // written only from version 24 on
};

// Builds a record the way a writer of that stream version laid it out.
QByteArray BuildRecord(const RecordCase& c) {
    TkvMemoryStream s;
    const bool hasName = c.version > 23 || (c.version == 23 && !c.prepared);
    if (hasName) PutString(s, c.version, "Memo7");
    if (c.version >= 24) {
        s.WriteByte(c.recordVersion);
        s.WriteByte(3);
    }
    s.WriteInt(10);
    s.WriteInt(20);
    s.WriteInt(100);
    s.WriteInt(30);
    s.WriteWord(0x0003);
    s.WriteWord(15);
    s.WriteInt(1500);
    s.WriteInt(0x0000FF);
    s.WriteWord(1);
    s.WriteInt(0x00FFFF);
    if (!c.prepared) {
        s.WriteInt(0x22C);
        PutString(s, c.version, "#,##0.00");
    }
    PutMemo(s, c.version, {"first", "second"});
    if (c.version >= 23 && !c.prepared) {
        PutMemo(s, c.version, {"begin", "end"});
        s.WriteWord(0);
    }
    if (c.version >= 24) {
        s.WriteWord(0x41);
        PutString(s, c.version, "tag[x]");
        s.WriteInt(5);
        s.WriteInt(6);
    }
    if (c.version >= 24 && c.recordVersion > 1) s.WriteByte(3);
    return s.Data();
}

TEST_F(ViewRecordTest, EveryAcceptedVersionReadsIntoTheRightFields) {
    const RecordCase cases[] = {
        {21, false, 0}, {22, false, 0}, {22, true, 0}, {23, false, 0}, {23, true, 0},
        {24, false, 1}, {24, false, 2}, {24, true, 2},  {25, false, 2}, {25, true, 2},
    };
    for (const RecordCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "version " << c.version << " prepared " << c.prepared
                                        << " record version " << int(c.recordVersion));
        const QByteArray bytes = BuildRecord(c);
        kv::StreamVersion = static_cast<uint8_t>(c.version);
        PlainView v;
        v.NamePrefix = "Memo";
        v.Prepared = c.prepared;
        TkvMemoryStream s(bytes);
        v.LoadFromStream(s);
        EXPECT_EQ(s.Position(), bytes.size()) << "the whole record is consumed";

        // Before 24 (and a prepared 23 record) there is no name: a fresh one is made.
        EXPECT_EQ(v.Name, (c.version > 23 || (c.version == 23 && !c.prepared)) ? "Memo7" : "Memo1");
        EXPECT_EQ(v.Left, 10);
        EXPECT_EQ(v.Top, 20);
        EXPECT_EQ(v.Width, 100);
        EXPECT_EQ(v.Height, 30);
        EXPECT_EQ(v.Flags, 0x0003);
        EXPECT_EQ(v.FrameTyp, 15);
        EXPECT_FLOAT_EQ(v.FrameWidth, 1.5f);
        EXPECT_EQ(v.FrameColor, 0x0000FFu);
        EXPECT_EQ(v.FrameStyle, 1);
        EXPECT_EQ(v.FillColor, 0x00FFFFu);
        EXPECT_EQ(v.Memo, (TkvStringList{"first", "second"}));
        if (!c.prepared) {
            EXPECT_EQ(v.DisplayFormat, 0x22Cu);
            EXPECT_EQ(v.DisplayFormatText, "#,##0.00");
        }
        if (c.version >= 23 && !c.prepared) {
            EXPECT_EQ(v.ScriptLines, (TkvStringList{"begin", "end"}));
            EXPECT_EQ(v.Visible, 0);
        } else {
            EXPECT_TRUE(v.ScriptLines.isEmpty());
            EXPECT_EQ(v.Visible, 0xFFFF);
        }
        if (c.version >= 24) {
            EXPECT_EQ(v.ClassRecordVersion, 3);
            EXPECT_EQ(v.Restrictions, 0x41);
            EXPECT_EQ(v.Tag, "tag[x]");
            EXPECT_EQ(v.GapX, 5);
            EXPECT_EQ(v.GapY, 6);
        } else {
            EXPECT_EQ(v.Restrictions, 0);
            EXPECT_EQ(v.GapX, 2);
            EXPECT_EQ(v.GapY, 1);
        }
        EXPECT_EQ(v.BandAlign, (c.version >= 24 && c.recordVersion > 1) ? 3 : 0);
    }
}

TEST_F(ViewRecordTest, WrittenRecordIsCurrentLayoutAndReadsBackEqual) {
    for (bool prepared : {false, true}) {
        SCOPED_TRACE(prepared ? "prepared" : "template");
        PlainView a;
        a.Name = "Line3";
        a.SetBounds(-5, 7, 300, 0);
        a.Flags = 0x8001;
        a.FrameTyp = 9;
        a.FrameWidth = 2.0f;
        a.FrameColor = 0x80000005;
        a.FrameStyle = 5;
        a.FillColor = 0x123456;
        a.DisplayFormat = 0x12345;
        a.DisplayFormatText = "dd.mm.yyyy";
        a.Memo = {"one", "", "three"};
        a.ResultText = {"computed"};
        a.ScriptLines = {"if a then b"};
        a.Visible = 0;
        a.Restrictions = 0x7F;
        a.Tag = "t";
        a.GapX = 4;
        a.GapY = 3;
        a.BandAlign = 7;
        a.Prepared = prepared;

        TkvMemoryStream s;
        kv::StreamVersion = 21; // writing ignores the version of the last read
        a.SaveToStream(s);
        // Reference image: the version-25 layout with record version 2.
        TkvMemoryStream ref;
        kv::StreamVersion = 25;
        kv::WriteStreamString(ref, "Line3");
        ref.WriteByte(2);
        ref.WriteByte(0);
        for (int v : {-5, 7, 300, 0}) ref.WriteInt(v);
        ref.WriteWord(0x8001);
        ref.WriteWord(9);
        ref.WriteInt(2);
        ref.WriteInt(int32_t(0x80000005));
        ref.WriteWord(5);
        ref.WriteInt(0x123456);
        if (!prepared) {
            ref.WriteInt(0x12345);
            kv::WriteStreamString(ref, "dd.mm.yyyy");
            kv::WriteStreamMemo(ref, {"one", "", "three"});
            kv::WriteStreamMemo(ref, {"if a then b"});
            ref.WriteWord(0);
        } else {
            kv::WriteStreamMemo(ref, {"computed"});
        }
        ref.WriteWord(0x7F);
        kv::WriteStreamString(ref, "t");
        ref.WriteInt(4);
        ref.WriteInt(3);
        ref.WriteByte(7);
        EXPECT_EQ(s.Data().toHex(), ref.Data().toHex());

        PlainView b;
        b.Prepared = prepared;
        s.Seek(0);
        b.LoadFromStream(s);
        EXPECT_EQ(b.Name, a.Name);
        EXPECT_EQ(b.Left, a.Left);
        EXPECT_EQ(b.Height, a.Height);
        EXPECT_EQ(b.Flags, a.Flags);
        EXPECT_EQ(b.FrameTyp, a.FrameTyp);
        EXPECT_EQ(b.FrameWidth, a.FrameWidth);
        EXPECT_EQ(b.FrameColor, a.FrameColor);
        EXPECT_EQ(b.FrameStyle, a.FrameStyle);
        EXPECT_EQ(b.FillColor, a.FillColor);
        EXPECT_EQ(b.Memo, prepared ? a.ResultText : a.Memo);
        EXPECT_EQ(b.Restrictions, a.Restrictions);
        EXPECT_EQ(b.Tag, a.Tag);
        EXPECT_EQ(b.GapX, a.GapX);
        EXPECT_EQ(b.GapY, a.GapY);
        EXPECT_EQ(b.BandAlign, a.BandAlign);
        if (!prepared) {
            EXPECT_EQ(b.DisplayFormat, a.DisplayFormat);
            EXPECT_EQ(b.DisplayFormatText, a.DisplayFormatText);
            EXPECT_EQ(b.ScriptLines, a.ScriptLines);
            EXPECT_EQ(b.Visible, a.Visible);
        }
    }
}

TEST_F(ViewRecordTest, EveryPrefixOfARecordRaisesTheReadError) {
    for (const RecordCase& c : {RecordCase{22, false, 0}, RecordCase{25, false, 2}, RecordCase{25, true, 2}}) {
        const QByteArray bytes = BuildRecord(c);
        for (qsizetype n = 0; n < bytes.size(); ++n) {
            kv::StreamVersion = static_cast<uint8_t>(c.version);
            PlainView v;
            v.Prepared = c.prepared;
            TkvMemoryStream s(bytes.left(n));
            EXPECT_THROW(v.LoadFromStream(s), TkvStreamError) << "version " << c.version << " prefix " << n;
        }
    }
}

TEST_F(ViewRecordTest, FrameWidthCoding) {
    struct Case {
        float width;
        int32_t stored;
    };
    const Case cases[] = {
        {1.0f, 1}, {1.5f, 1500}, {2.0f, 2}, {10.0f, 10}, {12.0f, 12000}, {0.0f, 0}, {0.25f, 250},
        // Widths whose thousandths would fall into the whole-unit range must not read back larger.
        {0.005f, 11},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TkvView::EncodeFrameWidth(c.width), c.stored) << c.width;
        EXPECT_LE(TkvView::DecodeFrameWidth(c.stored), std::max(c.width, 0.011f)) << c.width;
    }
    EXPECT_FLOAT_EQ(TkvView::DecodeFrameWidth(5), 5.0f);
    EXPECT_FLOAT_EQ(TkvView::DecodeFrameWidth(1500), 1.5f);
    EXPECT_FLOAT_EQ(TkvView::DecodeFrameWidth(12000), 12.0f);
}

} // namespace
