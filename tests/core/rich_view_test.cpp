// The rich text object: its record tail keeps the RTF bytes unchanged and ends exactly at the
// stored end position, which must lie inside the stream; properties by name; registration as an
// add-in view.
#include "band_control_support.h"

#include "core/views/band_control_views.h"
#include "core/views/band_view.h"
#include "core/views/rich_view.h"
#include "core/views/view_factory.h"

#include <QtEndian>
#include <gtest/gtest.h>

using namespace kvtest;

namespace {

// RTF with bytes a text codec would not leave alone: a NUL, high code page bytes, CR LF.
const char kRtfBytes[] = "{\\rtf1\\ansi\\ansicpg1252 {\\b bold} caf\xE9 \x00\x01\xFF\r\n\\par}";
const QByteArray kRtf(kRtfBytes, sizeof kRtfBytes - 1);

QByteArray Written(TkvRichView& v) {
    TkvMemoryStream s;
    v.SaveToStream(s);
    return s.Data();
}

int32_t IntAt(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<qint32>(reinterpret_cast<const uchar*>(bytes.constData() + at));
}

TEST(RichViewRecord, RtfBytesSurviveByteForByteAndEndPosPointsAfterTheRecord) {
    GlobalsGuard guard;
    TkvRichView a;
    a.Name = "Rich1";
    a.SetBounds(10, 20, 300, 80);
    a.RichText = kRtf;
    const QByteArray bytes = Written(a);
    ASSERT_TRUE(bytes.endsWith(kRtf));
    const qsizetype tail = bytes.size() - kRtf.size() - 5;
    EXPECT_EQ(bytes.at(tail), char(1)) << "HasText";
    EXPECT_EQ(IntAt(bytes, tail + 1), bytes.size()) << "EndPos";

    TkvRichView b;
    TkvMemoryStream s(bytes + QByteArray("\x0A", 1)); // the next entry follows
    b.LoadFromStream(s);
    EXPECT_EQ(s.Position(), bytes.size());
    EXPECT_EQ(b.RichText, kRtf);
    EXPECT_TRUE(b.HasText());
    EXPECT_EQ(b.Name, "Rich1");
    EXPECT_EQ(Written(b), bytes);
}

TEST(RichViewRecord, EmptyTextIsFiveBytesAfterTheCommonRecord) {
    GlobalsGuard guard;
    TkvRichView a;
    TkvView* asView = &a;
    TkvMemoryStream common;
    asView->TkvView::SaveToStream(common);
    const QByteArray bytes = Written(a);
    ASSERT_EQ(bytes.size(), common.Data().size() + 5);
    EXPECT_EQ(bytes.at(common.Data().size()), char(0));
    EXPECT_EQ(IntAt(bytes, common.Data().size() + 1), bytes.size());
}

TEST(RichViewRecord, EndPosAppliesToTheStreamBeingWritten) {
    GlobalsGuard guard;
    TkvMemoryStream s;
    s.WriteBytes("page header bytes");
    const qint64 start = s.Position();
    TkvRichView a;
    a.RichText = "{\\rtf1 x}";
    a.SaveToStream(s);
    s.WriteByte(0x0A);
    EXPECT_EQ(IntAt(s.Data(), s.Data().size() - 1 - a.RichText.size() - 4), s.Data().size() - 1);

    s.Seek(start);
    TkvRichView b;
    b.LoadFromStream(s);
    EXPECT_EQ(s.Position(), s.Size() - 1);
    EXPECT_EQ(b.RichText, a.RichText);
}

TEST(RichViewRecord, ReadingMovesToEndPosWhateverTheTextHolds) {
    GlobalsGuard guard;
    TkvRichView a;
    const QByteArray head = [&] {
        TkvMemoryStream s;
        a.TkvView::SaveToStream(s);
        return s.Data();
    }();
    // HasText 0 with a gap before EndPos: the gap is skipped, no text kept.
    TkvMemoryStream s(head);
    s.Seek(s.Size());
    s.WriteByte(0);
    s.WriteInt(static_cast<int32_t>(head.size() + 5 + 3));
    s.WriteBytes("abc");
    s.WriteByte(0x0A);
    s.Seek(0);
    TkvRichView b;
    b.RichText = "old";
    b.LoadFromStream(s);
    EXPECT_EQ(s.Position(), head.size() + 8);
    EXPECT_FALSE(b.HasText());
}

TEST(RichViewRecord, AnEndPosOutsideTheRecordIsAStreamError) {
    GlobalsGuard guard;
    TkvRichView a;
    a.RichText = "{\\rtf1 abc}";
    const QByteArray good = Written(a);
    const qsizetype at = good.size() - a.RichText.size() - 4;
    const int32_t size = static_cast<int32_t>(good.size());
    const int32_t bad[] = {
        0, static_cast<int32_t>(at), static_cast<int32_t>(at + 3), size + 1, -1, INT32_MAX, INT32_MIN};
    for (int32_t endPos : bad) {
        SCOPED_TRACE(endPos);
        QByteArray bytes = good;
        qToLittleEndian<qint32>(endPos, reinterpret_cast<uchar*>(bytes.data() + at));
        TkvMemoryStream s(bytes);
        TkvRichView b;
        EXPECT_THROW(b.LoadFromStream(s), TkvStreamError);
    }
    // A stored end inside the record but beyond the window the caller allows.
    TkvMemoryStream whole(good + QByteArray(16, 'x'));
    QByteArray moved = whole.Data();
    qToLittleEndian<qint32>(size + 8, reinterpret_cast<uchar*>(moved.data() + at));
    TkvMemoryStream base(moved);
    TkvBoundedStream bounded(base, size);
    TkvRichView b;
    EXPECT_THROW(b.LoadFromStream(bounded), TkvStreamError);
}

TEST(RichViewRecord, EveryPrefixOfARecordIsAStreamError) {
    GlobalsGuard guard;
    TkvRichView a;
    a.Name = "Rich2";
    a.RichText = kRtf;
    const QByteArray bytes = Written(a);
    for (qsizetype n = 0; n < bytes.size(); ++n) {
        TkvMemoryStream s(bytes.left(n));
        TkvRichView b;
        EXPECT_THROW(b.LoadFromStream(s), TkvStreamError) << "prefix " << n;
    }
}

TEST(RichViewRecord, EveryAcceptedVersionHasTheSameTail) {
    GlobalsGuard guard;
    for (int version : {21, 22, 23, 24, 25}) {
        for (bool prepared : {false, true}) {
            SCOPED_TRACE(testing::Message() << "version " << version << " prepared " << prepared);
            CommonRecord r;
            r.recordVersion = 2;
            r.classRecordVersion = 0;
            r.flags = 0x0011;
            TkvMemoryStream s;
            PutCommonRecord(s, version, r, prepared);
            s.WriteByte(1);
            s.WriteInt(static_cast<int32_t>(s.Position() + 4 + kRtf.size()));
            s.WriteBytes(kRtf);

            kv::StreamVersion = static_cast<uint8_t>(version);
            TkvRichView v;
            v.Prepared = prepared;
            TkvMemoryStream in(s.Data());
            v.LoadFromStream(in);
            EXPECT_EQ(in.Position(), in.Size());
            EXPECT_EQ(v.RichText, kRtf);
            EXPECT_EQ(v.Property("TextOnly"), TkvVariant(true));
            EXPECT_EQ(v.Memo, (TkvStringList{"memo line"}));
        }
    }
}

TEST(RichViewRecord, PrintingWritesTheScratchText) {
    GlobalsGuard guard;
    TkvRichView a;
    a.RichText = "{\\rtf1 [PAGE#]}";
    a.PrintedText = "{\\rtf1 3}";
    a.SavingFromScratch = 1;
    const QByteArray bytes = Written(a);
    a.SavingFromScratch = 0;
    EXPECT_TRUE(bytes.endsWith("{\\rtf1 3}"));
    EXPECT_EQ(a.RichText, "{\\rtf1 [PAGE#]}");
}

// ---------------------------------------------------------------- properties

TEST(RichViewProperties, TextOnlyAndTheInspectorList) {
    TkvRichView v;
    EXPECT_EQ(v.NamePrefix, "Rich");
    EXPECT_EQ(v.Flags, 0x0001);
    EXPECT_EQ(v.ObjectType, kvvt::AddIn);
    v.SetProperty("textonly", true);
    EXPECT_EQ(v.Flags, 0x0011);
    EXPECT_EQ(v.Property("TEXTONLY"), TkvVariant(true));
    v.SetProperty("TextOnly", false);
    EXPECT_EQ(v.Flags, 0x0001);
    v.SetProperty("DataField", "Notes");
    EXPECT_EQ(v.Property("DataField").toText(), "Notes");

    v.RegisterProperties();
    QList<QByteArray> names;
    for (const auto& p : v.PropertyTable)
        names.append(p->PropName);
    const QList<QByteArray> tail{"GapX", "GapY", "Lines", "Stretched", "TextOnly", "DataField"};
    ASSERT_GE(names.size(), tail.size());
    EXPECT_EQ(names.mid(names.size() - tail.size()), tail);
    EXPECT_EQ(names.first(), "Name");
    EXPECT_NE(v.FindProperty("FrameTyp"), nullptr);
    EXPECT_EQ(v.FindProperty("Lines")->PropKind, 0x0140);
    EXPECT_EQ(v.FindProperty("DataField")->PropKind, 0x0141);
    EXPECT_EQ(v.FindProperty("TextOnly")->PropKind, 0x0008);
}

TEST(RichViewProperties, HeightsWithoutARichTextEngine) {
    TkvRichView v;
    v.GapY = 3;
    EXPECT_EQ(v.MinHeight(), 8);
    TkvVariant r;
    v.CallMethod("CALCHEIGHT", {}, {}, {}, r);
    EXPECT_EQ(r.toInt(), 2 * 3 + 8) << "an empty text";
    v.Visible = 0;
    EXPECT_EQ(v.CalcHeight(), 0);
}

// ---------------------------------------------------------------- registration

TEST(BandAndControlRegistration, RichTextAndBandViewsAreMadeByType) {
    GlobalsGuard guard;
    kv::RegisterBandAndControlViews();
    kv::RegisterBandAndControlViews();
    int entries = 0;
    for (const auto& e : kv::AddInObjects()) {
        if (e.ClassName != "TkvRichView") continue;
        ++entries;
        EXPECT_EQ(e.ButtonHint, "55223");
    }
    EXPECT_EQ(entries, 1);

    auto rich = kv::CreateViewByType(kvvt::AddIn, "TkvRichView");
    ASSERT_NE(dynamic_cast<TkvRichView*>(rich.get()), nullptr);
    EXPECT_EQ(rich->ObjectType, kvvt::AddIn);
    EXPECT_THROW(kv::CreateViewByType(kvvt::AddIn, "TKVRICHVIEW"), TkvClassNotFound) << "names are exact";
    kv::ErrorFlag() = false;
    kv::ErrorText().clear();

    auto band = kv::CreateViewByType(kvvt::Band, {});
    ASSERT_NE(dynamic_cast<TkvBandView*>(band.get()), nullptr);
    EXPECT_EQ(band->ObjectType, kvvt::Band);

    // A prepared entry: type 10, the class name, the record read with Prepared set.
    TkvRichView a;
    a.RichText = kRtf;
    a.Prepared = 1;
    a.ResultText = {"computed"};
    TkvMemoryStream s;
    kv::WriteObjectEntry(s, a);
    s.Seek(0);
    auto back = kv::ReadObjectEntry(s, true);
    auto* r = dynamic_cast<TkvRichView*>(back.get());
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->RichText, kRtf);
    EXPECT_EQ(r->Memo, (TkvStringList{"computed"}));
    EXPECT_EQ(r->Prepared, 0);
    EXPECT_EQ(s.Position(), s.Size());
}

} // namespace
