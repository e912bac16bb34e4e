// Line and sub-report views: defaults, records in every accepted version, the line's clip region
// and height answers, the sub-report's base property table, and the factory of the standard views.
#include "core/views/line_view.h"
#include "core/views/memo_view.h"
#include "core/views/picture_view.h"
#include "core/views/standard_views.h"
#include "core/views/subreport_view.h"
#include "core/views/view_factory.h"
#include "record_builder.h"

#include <gtest/gtest.h>

#include <climits>

using kvtest::AppendViewRecord;
using kvtest::ReadRecord;
using kvtest::RecordBuilder;
using kvtest::ViewRecordFields;
using kvtest::WriteRecord;

namespace {

class LineSubReportTest : public ::testing::Test {
protected:
    void TearDown() override { kv::StreamVersion = kv::CurrentStreamVersion; }
};

TEST_F(LineSubReportTest, LineDefaults) {
    TkvLineView l;
    EXPECT_EQ(l.ObjectType, 4);
    EXPECT_EQ(l.NamePrefix, "Line");
    EXPECT_EQ(l.FrameTyp, 4);
    EXPECT_EQ(l.FillColor, 0xFFFFFFu);
    EXPECT_EQ(l.Flags, 0x0001);
    EXPECT_STREQ(l.ClassName(), "TkvLineView");
}

TEST_F(LineSubReportTest, LineHasNoTail) {
    for (int version : {21, 22, 23, 24, 25}) {
        for (bool prepared : {false, true}) {
            SCOPED_TRACE(testing::Message() << "version " << version << (prepared ? " prepared" : ""));
            RecordBuilder b(version);
            ViewRecordFields fields;
            AppendViewRecord(b, fields, prepared);
            qint64 end = 0;
            auto l = ReadRecord<TkvLineView>(b.Bytes() + "NEXT", version, prepared, &end);
            EXPECT_EQ(end, b.Size());
            EXPECT_EQ(l->Width, fields.Width);
            EXPECT_EQ(l->FrameWidth, 1.5f);
            l->ResultText = l->Memo; // a prepared record carries the result text, as the page packer sets it
            if (version == 25) {
                EXPECT_EQ(WriteRecord(*l, prepared), b.Bytes());
            }
            kvtest::ExpectEveryPrefixFails<TkvLineView>(b.Bytes(), version, prepared);
        }
    }
}

TEST_F(LineSubReportTest, LineDirectionFromItsShape) {
    struct Case {
        int w, h;
        int expectW, expectH, frameTyp;
    };
    const Case cases[] = {
        {100, 1, 100, 0, 8}, // wider than high: horizontal, top side
        {1, 1, 0, 1, 4},     // height not below width: vertical, left side
        {1, 100, 0, 100, 4},
        {0, 0, 0, 0, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
        TkvLineView l;
        l.Width = c.w;
        l.Height = c.h;
        l.NormalizeDirection();
        EXPECT_EQ(l.Width, c.expectW);
        EXPECT_EQ(l.Height, c.expectH);
        EXPECT_EQ(l.FrameTyp, c.frameTyp);
    }
}

TEST_F(LineSubReportTest, LineClipRegionTruncatesAndCoversOnlyItsSide) {
    struct Case {
        float width;
        uint16_t style;
        uint16_t frameTyp;
        bool widen;
        QRect expected;
    };
    // The line at (10, 20), 0 wide and 50 high (vertical) or 50 wide and 0 high (horizontal).
    const Case cases[] = {
        {1.0f, 0, 4, false, QRect(QPoint(10, 20), QPoint(10, 70))}, // outer 0, inner 0
        {3.0f, 0, 4, false, QRect(QPoint(9, 20), QPoint(11, 70))},  // outer 1, inner 1
        {2.5f, 0, 4, false, QRect(QPoint(9, 20), QPoint(10, 70))},  // outer 1, inner 0 (0.75)
        {2.0f, 5, 4, false, QRect(QPoint(7, 20), QPoint(12, 70))},  // double: outer 3, inner 0 + 2
        {3.0f, 0, 8, false, QRect(QPoint(10, 19), QPoint(60, 21))}, // horizontal: top and bottom move
        {1.0f, 0, 8, true, QRect(QPoint(0, 10), QPoint(70, 30))},   // widen: 10 further out
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " style " << c.style << " side " << c.frameTyp);
        TkvLineView l;
        l.Left = 10;
        l.Top = 20;
        l.Width = c.frameTyp == 4 ? 0 : 50;
        l.Height = c.frameTyp == 4 ? 50 : 0;
        l.FrameTyp = c.frameTyp;
        l.FrameWidth = c.width;
        l.FrameStyle = c.style;
        QRegion r;
        l.GetClipRegion(c.widen, r);
        EXPECT_EQ(r.boundingRect(), c.expected);
    }
}

TEST_F(LineSubReportTest, LineClipRegionOfExtremeGeometryStaysInRange) {
    struct Case {
        const char* what;
        int left, width;
        QRect expected;
    };
    const int m = kv::kMaxCoord;
    const Case cases[] = {
        // The frame width reaches past every edge: the region is clamped to the coordinate range.
        {"spanning", -100, INT_MAX, TkvRect{-110, -m, m, m}.toQRect()},
        {"all past the right", INT_MAX, INT_MAX, QRect()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TkvLineView l;
        l.Left = c.left;
        l.Width = c.width;
        l.Top = INT_MIN;
        l.Height = 0;
        l.FrameTyp = 8;
        l.FrameWidth = 1e30f;
        QRegion r;
        l.GetClipRegion(true, r);
        EXPECT_EQ(r.boundingRect(), c.expected);
    }
}

TEST_F(LineSubReportTest, LineHeightsAndProperties) {
    TkvLineView l;
    l.Height = 77;
    EXPECT_EQ(l.CalcHeight(), 77);
    EXPECT_EQ(l.MinHeight(), 1);
    EXPECT_EQ(l.RemainingHeight(), 0);
    TkvVariant r;
    l.CallMethod("CALCHEIGHT", {}, {}, {}, r);
    EXPECT_EQ(r, TkvVariant(77));
    l.EnsureProperties();
    EXPECT_EQ(l.PropertyTable.back()->PropName, "Stretched");
    EXPECT_EQ(l.PropertyTable.back()->PropKind, kvpk::Boolean);
    EXPECT_NE(l.FindProperty("FrameWidth"), nullptr);
}

TEST_F(LineSubReportTest, SubReportRecordInEveryVersion) {
    for (int version : {21, 22, 23, 24, 25}) {
        for (bool prepared : {false, true}) {
            SCOPED_TRACE(testing::Message() << "version " << version << (prepared ? " prepared" : ""));
            RecordBuilder b(version);
            AppendViewRecord(b, {}, prepared);
            b.I32(-7 + version); // the sub-page index
            qint64 end = 0;
            auto v = ReadRecord<TkvSubReportView>(b.Bytes(), version, prepared, &end);
            EXPECT_EQ(end, b.Size());
            EXPECT_EQ(v->SubPageIndex, version - 7);
            v->ResultText = v->Memo;
            if (version == 25) {
                EXPECT_EQ(WriteRecord(*v, prepared), b.Bytes());
            }
            kvtest::ExpectEveryPrefixFails<TkvSubReportView>(b.Bytes(), version, prepared);
        }
    }
}

TEST_F(LineSubReportTest, SubReportDefaultsAndBasePropertyTable) {
    TkvSubReportView v;
    EXPECT_EQ(v.ObjectType, 3);
    EXPECT_EQ(v.NamePrefix, "SubReport");
    EXPECT_EQ(v.Flags, 0x0001);
    EXPECT_EQ(v.SubPageIndex, 0);
    v.EnsureProperties();
    EXPECT_EQ(v.FindProperty("FrameTyp"), nullptr); // the view's short list for sub-reports
    EXPECT_EQ(v.PropertyTable.back()->PropName, "Restrictions");
}

// ---------------------------------------------------------------- factory

TEST_F(LineSubReportTest, StandardViewsComeFromTheirTypeBytes) {
    kv::RegisterStandardViews();
    struct Case {
        uint8_t type;
        const char* className;
    };
    const Case cases[] = {
        {kvvt::Text, "TkvMemoView"},
        {kvvt::Picture, "TkvPictureView"},
        {kvvt::SubReport, "TkvSubReportView"},
        {kvvt::Line, "TkvLineView"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.className);
        auto v = kv::CreateViewByType(c.type, {});
        ASSERT_TRUE(v);
        EXPECT_STREQ(v->ClassName(), c.className);
        EXPECT_EQ(v->ObjectType, c.type);
    }
}

TEST_F(LineSubReportTest, PreparedEntriesRoundTripThroughTheFactory) {
    kv::RegisterStandardViews();
    TkvMemoView memo;
    memo.Name = "Memo3";
    memo.ResultText = {"computed"};
    memo.Font.Name = "Verdana";
    TkvPictureView picture;
    picture.Picture = {kvgk::Bitmap, "BM-bytes"};
    TkvLineView line;
    line.Width = 300;
    TkvSubReportView sub;
    sub.SubPageIndex = 2;

    TkvMemoryStream s;
    for (TkvView* v : std::initializer_list<TkvView*>{&memo, &picture, &line, &sub}) {
        v->Prepared = 1;
        kv::WriteObjectEntry(s, *v);
        v->Prepared = 0;
    }
    s.Seek(0);
    kv::StreamVersion = 25;
    auto m = kv::ReadObjectEntry(s, true);
    auto p = kv::ReadObjectEntry(s, true);
    auto l = kv::ReadObjectEntry(s, true);
    auto r = kv::ReadObjectEntry(s, true);
    EXPECT_EQ(s.Position(), s.Size());

    auto* m2 = dynamic_cast<TkvMemoView*>(m.get());
    ASSERT_TRUE(m2);
    EXPECT_EQ(m2->Memo, memo.ResultText);
    EXPECT_EQ(m2->Font.Name, "Verdana");
    EXPECT_EQ(m2->Prepared, 0);
    auto* p2 = dynamic_cast<TkvPictureView*>(p.get());
    ASSERT_TRUE(p2);
    EXPECT_EQ(p2->Picture, picture.Picture);
    ASSERT_TRUE(dynamic_cast<TkvLineView*>(l.get()));
    EXPECT_EQ(l->Width, 300);
    auto* r2 = dynamic_cast<TkvSubReportView*>(r.get());
    ASSERT_TRUE(r2);
    EXPECT_EQ(r2->SubPageIndex, 2);
}

} // namespace
