// The prepared pages store: every accepted file layout, round trips, damaged files, and the page
// operations (insert, delete, unpack, pack, export, hit test).
#include "core/views/band_control_views.h"
#include "core/views/band_view.h"
#include "core/store/compressor.h"
#include "core/store/emf_pages.h"
#include "core/globals.h"
#include "core/store/kvp_format.h"
#include "core/views/memo_view.h"
#include "core/views/picture_view.h"
#include "core/paper/printer.h"
#include "core/report/report.h"
#include "core/views/rich_view.h"
#include "core/store/shell_open.h"
#include "core/store/zlib_pages.h"
#include "core/views/standard_views.h"
#include "core/views/subreport_view.h"
#include "render/recording_canvas.h"
#include "support/kvp_builder.h"

#include <climits>

#include <gtest/gtest.h>

using namespace kvpfile;

namespace {

class PreparedStore : public ::testing::Test {
protected:
    void SetUp() override {
        kv::RegisterStandardViews();
        kv::RegisterBandAndControlViews();
        kv::ErrorFlag() = false;
        kv::ErrorText().clear();
    }

    void Load(const QByteArray& bytes) {
        TkvMemoryStream s(bytes);
        report.EMFPages.LoadFromStream(&s);
    }
    QByteArray Save() {
        TkvMemoryStream out;
        report.EMFPages.SaveToStream(&out);
        return out.TakeData();
    }
    TkvEMFPages& store() { return report.EMFPages; }

    TkvReport report;
};

QByteArray PrinterName() {
    const TkvPrinter& p = kv::SharedPrinter();
    return p.Printers.value(p.PrinterIndex);
}

CommonRecord Named(const QByteArray& name, int left = 10, int top = 20, int width = 100, int height = 30) {
    CommonRecord r;
    r.Name = name;
    r.Left = left, r.Top = top, r.Width = width, r.Height = height;
    return r;
}

// A compressor that "compresses" by reversing the bytes, to see the hook used in both directions.
class ReversingCompressor : public TkvCompressor {
public:
    ReversingCompressor() { Enabled = 1; }
    void Compress(TkvStream& source, TkvStream& dest) override { Reverse(source, dest); }
    void Decompress(TkvStream& source, TkvStream& dest) override { Reverse(source, dest); }

private:
    static void Reverse(TkvStream& source, TkvStream& dest) {
        QByteArray b = source.ReadBytes(source.Remaining());
        std::reverse(b.begin(), b.end());
        dest.WriteBytes(b);
    }
};

// One zlib stream (qCompress puts a 4-byte length before it).
QByteArray Zlib(const QByteArray& data) {
    return qCompress(data).mid(4);
}

} // namespace

TEST_F(PreparedStore, EmptyStoreSavesTheExpectedBytes) {
    report.WriterMark = 0x42;
    const QByteArray name = PrinterName();
    Bytes expected;
    expected.U8(0x19).U8(0).Str(name).I32(0).U8(0x42);
    EXPECT_EQ(Save().toHex(), expected.data.toHex());
}

// Each accepted head of file, with what the reader must make of the page fields.
TEST_F(PreparedStore, ReadsEveryAcceptedLayout) {
    struct Case {
        const char* what;
        int version;
        uint8_t compressed;
        uint8_t expectVersion;
        bool expectBinAndMargins;
    };
    const Case cases[] = {
        {"version-less", 0, 0, 0, false},         {"version 24", 24, 0, 24, true},
        {"version 25", 25, 0, 25, true},          {"version 31", 31, 0, 31, true},
        {"version-less, flag 1", 0, 1, 0, false}, {"version 25, flag 255", 25, 255, 25, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FileSpec f;
        f.Version = c.version;
        f.Compressed = c.compressed;
        f.WriterMark = 77;
        PageSpec p;
        p.PaperSize = 9;
        p.Orientation = 1;
        p.PaperBin = 7;
        p.UseMargins = 0;
        p.Margins[0] = 11, p.Margins[1] = 12, p.Margins[2] = 13, p.Margins[3] = 14;
        p.Data = PackedPage().Text(Named("Memo1")).Data();
        // Compressed pages are zlib streams, the common form of compressed page data.
        if (c.compressed) p.Data = Zlib(p.Data);
        f.Pages = {p, p};
        Load(BuildKvp(f));
        ASSERT_EQ(store().Count(), 2);
        EXPECT_EQ(store().LoadedHeader.FileLayout, TkvPreparedFileHeader::Layout::Current);
        EXPECT_EQ(store().LoadedHeader.Version, c.expectVersion);
        EXPECT_EQ(store().LoadedHeader.CompressedFlag, c.compressed);
        EXPECT_EQ(store().LoadedHeader.PrinterName, "Virtual printer");
        EXPECT_EQ(report.WriterMark, 77);
        const PreparedPageInfo& info = store().PageInfo(1);
        EXPECT_EQ(info.PaperSize, 9);
        EXPECT_EQ(info.Orientation, 1);
        EXPECT_EQ(info.UseMargins, 0);
        EXPECT_EQ(info.PaperBin, c.expectBinAndMargins ? 7 : -1);
        EXPECT_EQ(info.Margins, c.expectBinAndMargins ? (TkvRect{11, 12, 13, 14}) : TkvRect{});
        EXPECT_GT(info.Metrics.PageWidth, 0); // geometry comes from the printer
        EXPECT_EQ(info.Page, nullptr);        // pages stay packed
        EXPECT_EQ(store().UnpackPage(1).ObjectCount(), 1);
    }
}

TEST_F(PreparedStore, FirstByteZeroIsAVersionlessFileWhoseZeroIsTheFlag) {
    FileSpec f;
    f.Version = 0;
    f.Pages = {PageSpec{}};
    const QByteArray bytes = BuildKvp(f);
    ASSERT_EQ(bytes[0], '\0');
    Load(bytes);
    EXPECT_EQ(store().Count(), 1);
    EXPECT_EQ(store().PageInfo(0).PaperBin, -1);
}

TEST_F(PreparedStore, PictureLayoutKeepsTheMetafileInAPictureView) {
    // A printer name starting with 0x19 0x02: the version byte looks right but the flag does not.
    FileSpec f;
    f.PictureLayout = true;
    f.PrinterName = QByteArray("\x19\x02 printer\rsecond line");
    PageSpec p;
    p.Data = QByteArray("\x01\x00\x00\x00metafile bytes", 18);
    f.Pages = {p, p};
    Load(BuildKvp(f));
    EXPECT_EQ(store().LoadedHeader.FileLayout, TkvPreparedFileHeader::Layout::Picture);
    EXPECT_EQ(store().LoadedHeader.Version, 0);
    EXPECT_EQ(store().LoadedHeader.PrinterName, QByteArray("\x19\x02 printer"));
    ASSERT_EQ(store().Count(), 2);
    TkvPage& page = store().UnpackPage(1);
    ASSERT_EQ(page.ObjectCount(), 1);
    auto* pic = dynamic_cast<TkvPictureView*>(page.Object(0));
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(pic->Picture.Kind, kvgk::Metafile);
    EXPECT_EQ(pic->Picture.Data, p.Data);
    EXPECT_EQ(pic->Flags, kvflag::Stretched | kvpf::KeepAspect);
    EXPECT_EQ(pic->Left, 0);
    EXPECT_EQ(pic->Width, store().PageInfo(1).Metrics.PageWidth);
    EXPECT_EQ(pic->Height, store().PageInfo(1).Metrics.PageHeight);
}

// Records of every stream version inside packed pages, through the classes' own readers.
TEST_F(PreparedStore, ReadsRecordsOfStreamVersions21To25) {
    for (int v : {21, 22, 23, 24, 25}) {
        SCOPED_TRACE(v);
        CommonRecord r = Named("Memo1", 5, 6, 70, 8);
        r.Memo = {"first", "second"};
        r.Tag = "tag";
        TextTail t;
        t.FontName = "Courier New";
        t.Charset = 204;
        t.LineSpacing = 4;
        PackedPage page(v);
        page.Text(r, t).Picture(Named("Picture1"), kvgk::Bitmap, "BMxx").Line(Named("Line1"));
        page.SubReport(Named("SubReport1"), 3);
        FileSpec f;
        f.Pages = {PageSpec{}};
        f.Pages[0].Data = page.Data();
        Load(BuildKvp(f));
        TkvPage& p = store().UnpackPage(0);
        ASSERT_EQ(p.ObjectCount(), 4);
        auto* memo = dynamic_cast<TkvMemoView*>(p.Object(0));
        ASSERT_NE(memo, nullptr);
        EXPECT_EQ(memo->Left, 5);
        EXPECT_EQ(memo->Height, 8);
        EXPECT_EQ(memo->Memo, (TkvStringList{"first", "second"}));
        EXPECT_EQ(memo->Font.Name, "Courier New");
        EXPECT_EQ(memo->Font.Charset, v >= 23 ? 204 : kv::DefaultCharset);
        EXPECT_EQ(memo->LineSpacing, v >= 24 ? 4 : 2);
        EXPECT_EQ(memo->Tag, v >= 24 ? QByteArray("tag") : QByteArray());
        if (v >= 24) {
            EXPECT_EQ(memo->Name, "Memo1");
        }
        EXPECT_EQ(dynamic_cast<TkvPictureView*>(p.Object(1))->Picture.Data, "BMxx");
        EXPECT_EQ(dynamic_cast<TkvSubReportView*>(p.Object(3))->SubPageIndex, 3);
    }
}

TEST_F(PreparedStore, RoundTripIsByteIdentical) {
    FileSpec f;
    f.PrinterName = PrinterName();
    f.WriterMark = 91;
    for (int i = 0; i < 3; ++i) {
        PageSpec p;
        p.PaperSize = static_cast<int16_t>(i == 1 ? 256 : 9);
        p.PaperWidth = 1234 + i;
        p.Margins[2] = 40;
        p.Data = RealisticPage(i + 1, 20);
        f.Pages.push_back(p);
    }
    f.Pages[2].Data = PackedPage().Rich(Named("Rich1"), "{\\rtf1 hi}").Band(Named("Band1")).Data();
    const QByteArray bytes = BuildKvp(f);
    Load(bytes);
    // Unpacking without packing again changes nothing that is saved.
    store().UnpackPage(0);
    EXPECT_EQ(Save().toHex(), bytes.toHex());
}

TEST_F(PreparedStore, NextOffsetBeyondThePageDataBelongsToThePackedStream) {
    FileSpec f;
    PageSpec p;
    p.GapBytes = 5;
    f.Pages = {p};
    Load(BuildKvp(f));
    EXPECT_EQ(store().PageInfo(0).Packed.Size(), 1 + 5);
}

TEST_F(PreparedStore, ReplacementCompressorIsUsedBothWays) {
    kv::SetCompressor(std::make_unique<ReversingCompressor>());
    FileSpec f;
    PageSpec p;
    p.Data = PackedPage().Text(Named("Memo1")).Data();
    f.Pages = {p};
    Load(BuildKvp(f));
    const QByteArray saved = Save();
    kv::SetCompressor(nullptr);
    EXPECT_EQ(saved[1], '\x01');
    std::reverse(p.Data.begin(), p.Data.end());
    EXPECT_TRUE(saved.contains(p.Data));
    kv::SetCompressor(std::make_unique<ReversingCompressor>());
    Load(saved);
    kv::SetCompressor(nullptr);
    EXPECT_EQ(store().UnpackPage(0).ObjectCount(), 1);
}

// Compressed pages: zlib streams are read; anything else is kept as stored, cannot be displayed, and is
// saved back unchanged; a report mixing such pages with changed ones is refused, never emptied.
TEST_F(PreparedStore, CompressedPagesAreReadOrKeptAsStored) {
    const QByteArray page = PackedPage().Text(Named("Memo1")).Text(Named("Memo2")).Data();
    const QByteArray zlib = Zlib(page);
    struct Case {
        const char* what;
        QByteArray stored;
        const char* reason; // null: readable
    };
    const Case cases[] = {
        {"zlib stream", zlib, nullptr},
        {"another compression", page, "compressed in a form this program cannot read"},
        {"zlib stream cut short", zlib.chopped(3), "ends early"},
        {"zlib stream with trailing bytes", zlib + "xyz", "followed by 3 other bytes"},
        {"damaged zlib stream", zlib.left(2) + QByteArray(20, '\xFF'), "damaged"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FileSpec f;
        f.PrinterName = PrinterName();
        f.Compressed = 1;
        f.Pages = {PageSpec{.Data = c.stored}, PageSpec{.Data = zlib}};
        const QByteArray file = BuildKvp(f);
        Load(file);
        ASSERT_EQ(store().Count(), 2);
        EXPECT_EQ(store().UnpackPage(1).ObjectCount(), 2);
        if (!c.reason) {
            EXPECT_EQ(store().UnreadablePageCount(), 0);
            EXPECT_EQ(store().UnpackPage(0).ObjectCount(), 2);
            // Without a compressor the pages are saved uncompressed, every object kept.
            const QByteArray saved = Save();
            EXPECT_EQ(saved[1], '\0');
            EXPECT_TRUE(saved.contains(page));
            Load(saved);
            EXPECT_EQ(store().UnpackPage(0).ObjectCount(), 2);
            continue;
        }
        EXPECT_EQ(store().UnreadablePageCount(), 1);
        try {
            store().UnpackPage(0);
            ADD_FAILURE() << "an unreadable page was unpacked";
        } catch (const TkvPreparedFileError& e) {
            EXPECT_EQ(e.PageIndex(), 0);
            EXPECT_TRUE(QByteArray(e.what()).startsWith("Page 1: ")) << e.what();
            EXPECT_TRUE(QByteArray(e.what()).contains(c.reason)) << e.what();
        }
        EXPECT_EQ(store().PageInfo(0).Page, nullptr);
        // Packing a page that was never unpacked changes nothing; saving gives the file back.
        store().PackPage(0);
        EXPECT_EQ(Save().toHex(), file.toHex());

        // A changed page cannot be written beside pages kept as stored: refused before any byte.
        store().UnpackPage(1);
        store().PackPage(1);
        TkvMemoryStream out;
        EXPECT_THROW(store().SaveToStream(&out), TkvPreparedFileError);
        EXPECT_EQ(out.Size(), 0);
        // Deleting the unreadable page makes the rest savable again.
        store().DeletePage(0);
        Load(Save());
        EXPECT_EQ(store().Count(), 1);
        EXPECT_EQ(store().UnpackPage(0).ObjectCount(), 2);
    }
}

TEST(ZlibPages, InflationIsBoundedAndStrict) {
    const QByteArray data(5000, 'a');
    const QByteArray z = Zlib(data);
    QByteArray out;
    std::string reason;
    EXPECT_TRUE(kv::LooksLikeZlib(z));
    EXPECT_FALSE(kv::LooksLikeZlib(QByteArray("\x78\x00", 2))); // check bits wrong
    EXPECT_FALSE(kv::LooksLikeZlib(QByteArray("\x78", 1)));
    EXPECT_TRUE(kv::InflateZlib(z, data.size(), out, reason)) << reason;
    EXPECT_EQ(out, data);
    // One byte over the limit fails instead of growing without bound.
    EXPECT_FALSE(kv::InflateZlib(z, data.size() - 1, out, reason));
    EXPECT_TRUE(out.isEmpty());
    EXPECT_NE(reason.find("expands beyond"), std::string::npos) << reason;
    EXPECT_FALSE(kv::InflateZlib(QByteArray(), 100, out, reason));
}

// A view reaching across the page from a file: its bounds are computed without overflow (the sanitizer
// build stops at one) and not wrapped, so the clip test keeps it.
TEST_F(PreparedStore, ViewsWithExtremeBoundsAreDrawnOnScreen) {
    CommonRecord wide = Named("Memo1", -100, 20, INT_MAX, 30);
    wide.FrameTyp = 15;
    FileSpec f;
    f.Pages = {PageSpec{.Data = PackedPage().Text(wide).Data()}};
    Load(BuildKvp(f));
    PreparedPageInfo& info = store().PageInfo(0);
    info.PageVisible = 1;
    TkvRecordingCanvas canvas;
    canvas.SetClipRegion(QRegion(0, 0, 500, 500));
    store().DrawPage(0, canvas, QRect(0, 0, info.Metrics.PageWidth, info.Metrics.PageHeight));
    EXPECT_FALSE(canvas.Records().empty());
}

// Damaged files: a clear error naming the page, the pages before it kept, no loop or huge allocation.
TEST_F(PreparedStore, DamagedFilesFailClearlyAndKeepEarlierPages) {
    FileSpec good;
    good.Pages = {PageSpec{}, PageSpec{}, PageSpec{}};
    const QByteArray base = BuildKvp(good);
    // Offsets of the three page entries in `base`.
    const int head = 2 + 2 + int(good.PrinterName.size()) + 1 + 4;
    const int entry = kvp::PageEntryHeaderSizeV24 + 1;
    // Pages with 40 bytes of data: the count check passes and the cut falls inside page 3's header.
    auto Truncated = [&](int size) {
        FileSpec f = good;
        for (PageSpec& p : f.Pages)
            p.Data = QByteArray(1, char(25)) + QByteArray(39, '\0');
        return BuildKvp(f).left(size);
    };
    auto patched = [&](int at, int32_t v) {
        QByteArray b = base;
        qToLittleEndian<qint32>(v, b.data() + at);
        return b;
    };
    struct Case {
        const char* what;
        QByteArray bytes;
        int keptPages;
        const char* message;
    };
    const Case cases[] = {
        {"next offset backwards", patched(head + entry, head), 1, "Page 2: the next page offset"},
        {"next offset inside the entry", patched(head + entry, head + entry + 10), 1, "points before"},
        {"next offset past the end", patched(head + 2 * entry, 1 << 30), 2, "past the end of the file"},
        {"page count too large", patched(head - 4, 1000000), 0, "cannot hold the 1000000 pages"},
        {"negative page count", patched(head - 4, -1), 0, "cannot hold"},
        {"no format mark", base.left(base.size() - 1), 3, "format mark"},
        {"truncated in page 3", Truncated(head + 2 * (kvp::PageEntryHeaderSizeV24 + 40) + 7), 2,
         "Page 3 of 3"},
        {"empty file", QByteArray(), 0, "file version"},
        {"a PDF file", QByteArray("%PDF-1.7\n%\xE2\xE3\xCF\xD3\n1 0 obj"), 0,
         "is a PDF document, not a prepared report"},
        {"a PNG file", QByteArray("\x89PNG\r\n\x1A\n", 8), 0, "is a PNG image"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            Load(c.bytes);
            ADD_FAILURE() << "no error";
        } catch (const TkvPreparedFileError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
            EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos);
        }
        EXPECT_EQ(store().Count(), c.keptPages);
    }
}

TEST_F(PreparedStore, BadRecordsFailTheirPageOnly) {
    struct Case {
        const char* what;
        QByteArray packed;
        const char* message;
        int viewsKept;
    };
    const Case cases[] = {
        {"picture end before its data",
         PackedPage().Text(Named("A")).Picture(Named("P"), 1, "abcd", 0, -6).Data(), "picture", 1},
        {"picture end past the record", PackedPage().Picture(Named("P"), 1, "abcd", 0, 100).Data(), "picture",
         0},
        {"rich text end before its data", PackedPage().Rich(Named("R"), "{\\rtf1}", -10).Data(), "rich text",
         0},
        {"unknown type byte", PackedPage().Text(Named("A")).RawBytes(QByteArray(1, char(7))).Data(), "7", 1},
        {"unregistered add-in", PackedPage().AddIn("TkvChartView", Named("C")).Data(), "TkvChartView", 0},
        {"truncated record", PackedPage().Text(Named("A")).Data().chopped(3), "Page 2", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FileSpec f;
        f.Pages = {PageSpec{}, PageSpec{}, PageSpec{}};
        f.Pages[1].Data = c.packed;
        Load(BuildKvp(f));
        try {
            store().UnpackPage(1);
            ADD_FAILURE() << "no error";
        } catch (const TkvPreparedFileError& e) {
            EXPECT_EQ(e.PageIndex(), 1);
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
        ASSERT_NE(store().PageInfo(1).Page, nullptr);
        EXPECT_EQ(store().PageInfo(1).Page->ObjectCount(), c.viewsKept);
        EXPECT_EQ(store().UnpackPage(2).ObjectCount(), 0);
    }
}

TEST_F(PreparedStore, UnpackingOnePageLeavesTheOthersPacked) {
    FileSpec f;
    for (int i = 0; i < 4; ++i)
        f.Pages.push_back(PageSpec{.Data = RealisticPage(i + 1, 10)});
    Load(BuildKvp(f));
    const QByteArray before = store().PageInfo(3).Packed.Data();
    EXPECT_EQ(store().UnpackPage(2).ObjectCount(), 10);
    for (int i : {0, 1, 3})
        EXPECT_EQ(store().PageInfo(i).Page, nullptr);
    EXPECT_EQ(store().PageInfo(3).Packed.Data(), before);
    EXPECT_EQ(kv::CurPage(), store().PageInfo(2).Page.get());
}

TEST_F(PreparedStore, InsertDeletePackAndExport) {
    TkvPage design(9, 0, 0, -1, 0);
    design.LeftMargin = 30;
    design.UseMargins = 0;
    EXPECT_FALSE(store().InsertPage(0, design));
    design.UseMargins = 0xFFFF;
    EXPECT_TRUE(store().InsertPage(99, design)); // appends
    design.PaperWidth = 1111;
    EXPECT_TRUE(store().InsertPage(1, design));
    ASSERT_EQ(store().Count(), 3);
    EXPECT_EQ(store().PageInfo(1).PaperWidth, 1111);
    EXPECT_EQ(store().PageInfo(0).Margins.Left, 30);
    EXPECT_EQ(store().PageInfo(0).Packed.Data(), QByteArray(1, char(25)));
    EXPECT_EQ(store().PageInfo(0).Metrics, design.Metrics);
    store().DeletePage(1);
    ASSERT_EQ(store().Count(), 2);
    EXPECT_NE(store().PageInfo(1).PaperWidth, 1111);

    // Unpacking a stream of the version byte alone gives no objects; packing no views gives it back.
    EXPECT_EQ(store().UnpackPage(0).ObjectCount(), 0);
    store().PackPage(0);
    EXPECT_EQ(store().PageInfo(0).Packed.Data(), QByteArray(1, char(25)));

    // Packing writes the memo (edited text), not the last result text.
    auto memo = std::make_unique<TkvMemoView>();
    memo->Name = "Memo1";
    memo->SetBounds(0, 0, 200, 20);
    memo->Memo = {"edited"};
    memo->ResultText = {"old result"};
    store().UnpackPage(0).Objects.push_back(std::move(memo));
    store().PackPage(0);
    TkvPage& again = store().UnpackPage(0);
    ASSERT_EQ(again.ObjectCount(), 1);
    EXPECT_EQ(again.Object(0)->Memo, TkvStringList{"edited"});

    // Export hands every view over and frees the page again.
    struct Collect : TkvExportTarget {
        QList<QByteArray> objects, lines;
        void ExportObject(int, int, TkvView& v) override { objects.append(v.Name); }
        void ExportTextLine(const TkvRect&, int, int, const QByteArray& line, uint16_t, TkvView&) override {
            lines.append(line);
        }
    } target;
    store().ExportPage(0, target);
    EXPECT_EQ(target.objects, QList<QByteArray>{"Memo1"});
    EXPECT_EQ(target.lines, QList<QByteArray>{"edited"});
    EXPECT_EQ(store().PageInfo(0).Page, nullptr);
}

TEST_F(PreparedStore, AddPageFiresBeginPageOfCurrentAndMasterReport) {
    TkvReport master;
    QList<int> seen;
    report.OnBeginPage = [&](int n) { seen.append(n); };
    master.OnBeginPage = [&](int n) { seen.append(100 + n); };
    kv::CurReport() = &report;
    kv::MasterReport() = &master;
    TkvPage design(9, 0, 0, -1, 0);
    store().AddPage(design, 4);
    kv::CurReport() = kv::MasterReport() = nullptr;
    EXPECT_EQ(seen, (QList<int>{4, 104}));
    EXPECT_EQ(store().Count(), 1);
}

TEST_F(PreparedStore, HitTestLinksAndEvents) {
    CommonRecord link = Named("URL1", 100, 100, 50, 20);
    link.Tag = "@3";
    CommonRecord web = Named("URL2", 100, 200, 50, 20);
    web.Tag = "https://example.org/";
    CommonRecord plain = Named("Memo1", 0, 0, 400, 400); // underneath both links
    FileSpec f;
    f.Pages = {PageSpec{.Data = PackedPage().Text(plain).Text(link).Text(web).Data()}};
    Load(BuildKvp(f));

    QByteArray opened;
    kv::SetShellOpenHook([&](const QByteArray& t) {
        opened = t;
        return true;
    });
    QByteArray text;
    int cursor = 0;
    EXPECT_TRUE(store().HitTestObject(0, {110, 110}, false, text, cursor));
    EXPECT_EQ(cursor, TkvEMFPages::HandPointCursor);
    EXPECT_EQ(text, "@3");
    EXPECT_TRUE(store().HitTestObject(0, {110, 110}, true, text, cursor));
    EXPECT_EQ(text, "@3");
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(store().HitTestObject(0, {110, 210}, true, text, cursor));
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(opened, "https://example.org/");
    // Right and bottom edges are outside; the plain view beneath is not handled without events.
    cursor = 0;
    EXPECT_FALSE(store().HitTestObject(0, {150, 110}, false, text, cursor));
    EXPECT_EQ(cursor, 0);

    // Handlers see the top-most view; their failures are swallowed.
    QByteArray clicked;
    report.OnObjectClick = [&](TkvView* v) {
        clicked = v->Name;
        throw std::runtime_error("handler failed");
    };
    report.OnMouseOverObject = [&](TkvView*, int& c) { c = 5; };
    EXPECT_TRUE(store().HitTestObject(0, {10, 10}, true, text, cursor));
    EXPECT_EQ(clicked, "Memo1");
    EXPECT_TRUE(store().HitTestObject(0, {10, 10}, false, text, cursor));
    EXPECT_EQ(cursor, 5);
    kv::SetShellOpenHook(nullptr);
}

TEST_F(PreparedStore, HitTestScalesPagesThatDoNotUseMargins) {
    PageSpec p;
    p.UseMargins = 0;
    p.Margins[0] = 20, p.Margins[1] = 10;
    p.Data = PackedPage().Text(Named("URL1", 0, 0, 10, 10)).Data();
    FileSpec f;
    f.Pages = {p};
    Load(BuildKvp(f));
    const PreparedPageInfo& info = store().PageInfo(0);
    const int ox = 20 + info.Metrics.OffsetLeft, oy = 10 + info.Metrics.OffsetTop;
    QByteArray text;
    int cursor = 0;
    EXPECT_TRUE(store().HitTestObject(0, {ox, oy}, false, text, cursor));
    EXPECT_FALSE(store().HitTestObject(0, {ox - 1, oy}, false, text, cursor));
}

TEST_F(PreparedStore, AutoWidthTextSettlesItsWidthWhenUnpacked) {
    CommonRecord r = Named("Memo1", 10, 10, 5, 20);
    r.Flags = kvmf::AutoWidth;
    r.Memo = {"a text much wider than five units"};
    FileSpec f;
    f.Pages = {PageSpec{.Data = PackedPage().Text(r).Data()}};
    Load(BuildKvp(f));
    kv::DocumentMode() = 1;
    const int width = store().UnpackPage(0).Object(0)->Width;
    kv::DocumentMode() = 0;
    EXPECT_GT(width, 50);
}

TEST_F(PreparedStore, ZeroOrNegativePaperFromAFileStaysDrawable) {
    PageSpec p;
    p.PaperSize = 256;
    p.PaperWidth = 0;
    p.PaperHeight = -5;
    p.UseMargins = 0;
    p.Data = PackedPage().Text(Named("URL1", 0, 0, 10, 10)).Data();
    FileSpec f;
    f.Pages = {p};
    Load(BuildKvp(f));
    const PreparedPageInfo& info = store().PageInfo(0);
    EXPECT_TRUE(info.HasPageArea());
    EXPECT_EQ(info.PaperWidth, 0); // kept as stored, so the file saves back unchanged
    // Hit testing works on such a page: a hit on the link is reported with the link's cursor and
    // target, a miss with neither.
    QByteArray text = "stale";
    int cursor = 0;
    const bool handled = store().HitTestObject(0, {1, 1}, false, text, cursor);
    EXPECT_EQ(cursor == TkvEMFPages::HandPointCursor, handled);
    if (!handled) {
        EXPECT_TRUE(text.isEmpty());
    }
}
