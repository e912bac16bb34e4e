// Template streams: exact bytes of an empty report, round trips of every view and band type,
// version handling, missing add-in classes, page records of older versions, document information
// and passwords, damaged input, template library files and the host form's property bytes.
#include "base/stream_text.h"
#include "base/stream_version.h"
#include "core/globals.h"
#include "core/locale.h"
#include "core/report/report.h"
#include "core/startup.h"
#include "core/template/template_library.h"
#include "core/template/template_stream.h"
#include "core/views/band_view.h"
#include "core/views/line_view.h"
#include "core/views/memo_view.h"
#include "core/views/picture_view.h"
#include "core/views/subreport_view.h"
#include "core/views/view_factory.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

namespace {

class TemplateTest : public ::testing::Test {
protected:
    void SetUp() override { kv::StartUp(); }
    void TearDown() override {
        kv::StreamVersion = kv::CurrentStreamVersion;
        kv::CurReport() = nullptr;
        kv::CurPage() = nullptr;
        kv::ErrorFlag() = false;
        kv::ErrorText().clear();
    }
};

template <class T> T& AddView(TkvPage& page, const QByteArray& name) {
    auto v = std::make_unique<T>();
    T& ref = *v;
    ref.Name = name;
    ref.OwnerPage = &page;
    ref.SetBounds(10, 20 + page.ObjectCount() * 5, 100, 30);
    page.Objects.push_back(std::move(v));
    return ref;
}

// Two pages: every view type on the first, a band of every type on the second.
void FillReport(TkvReport& r) {
    r.Pages.Add();
    r.Pages.Add();
    TkvPage& p1 = *r.Page(0);
    p1.Name = "Page1";
    p1.Script = {"begin", "  x := 1;", "end"};
    p1.LeftMargin = 36;
    p1.Columns = 2;
    p1.ColumnGap = 12;
    r.Page(1)->Name = "Page2";
    r.Page(1)->PageType = kvpt::Dialog;
    r.Page(1)->Caption = "Ask";
    AddView<TkvMemoView>(p1, "Memo1").Memo = {"[Customers.\"Name\"]", "second line"};
    AddView<TkvPictureView>(p1, "Picture1");
    AddView<TkvSubReportView>(p1, "SubReport1");
    AddView<TkvLineView>(p1, "Line1");
    std::unique_ptr<TkvView> rich = kv::CreateViewByType(kvvt::AddIn, "TkvRichView");
    rich->Name = "Rich1";
    p1.Objects.push_back(std::move(rich));
    for (int t = 0; t <= 22; ++t) {
        auto& band = AddView<TkvBandView>(*r.Page(1), "Band" + QByteArray::number(t));
        band.SetBandType(t);
        band.SetDataSource(t == kvbt::MasterData ? "Customers" : QByteArray());
    }
    r.Dictionary.Variables.SetVariable(" Main", TkvVariant(QByteArray()));
    r.Dictionary.Variables.SetVariable("Total", TkvVariant(QByteArray("[Qty] * [Price]")));
    r.Dictionary.FieldAliases.SetVariable("Customers", TkvVariant(QByteArray("Clients")));
    r.DocName = "Orders";
    r.DocAuthor = "Ann";
    r.DocPassword = "secret";
}

QByteArray Save(TkvReport& r, bool stamp = false) {
    TkvMemoryStream s;
    kv::SaveTemplate(r, s, stamp);
    return s.TakeData();
}

TkvTemplateLoadResult Load(TkvReport& r, const QByteArray& bytes) {
    TkvMemoryStream s(bytes);
    return r.LoadFromStream(s);
}

TEST_F(TemplateTest, EmptyReportSavesTheExactBytes) {
    TkvReport r;
    r.PrinterName = kv::LoadLibraryText(55007);
    const QByteArray bytes = Save(r);
    QByteArray expected = QByteArray::fromHex("19"
                                              "0000"
                                              "0000"
                                              "0100"
                                              "01"
                                              "00" // the virtual printer as byte 1
                                              "FE"
                                              "FEFF"
                                              "00000000"
                                              "00000000"
                                              "00000000"
                                              "FC"
                                              "0000000000000000000000000000"
                                              "0000"
                                              "58"
                                              "00");
    ASSERT_EQ(bytes.size(), expected.size() + 16);
    EXPECT_EQ(bytes.left(expected.size()).toHex(), expected.toHex());
}

TEST_F(TemplateTest, EveryViewAndBandTypeRoundTripsByteForByte) {
    TkvReport r;
    FillReport(r);
    const QByteArray first = Save(r);
    TkvReport back;
    ASSERT_TRUE(Load(back, first).Ok());
    ASSERT_EQ(back.PageCount(), 2);
    EXPECT_EQ(back.Page(0)->ObjectCount(), 5);
    EXPECT_EQ(back.Page(1)->ObjectCount(), 23);
    EXPECT_EQ(back.Page(0)->Script, r.Page(0)->Script);
    EXPECT_EQ(back.Page(0)->Columns, 2);
    EXPECT_EQ(back.Page(1)->Caption, "Ask");
    EXPECT_EQ(back.Page(0)->Object(0)->Memo, r.Page(0)->Object(0)->Memo);
    EXPECT_STREQ(back.Page(0)->Object(4)->ClassName(), "TkvRichView");
    for (int t = 0; t <= 22; ++t) {
        auto* band = dynamic_cast<TkvBandView*>(back.Page(1)->Object(t));
        ASSERT_NE(band, nullptr);
        EXPECT_EQ(band->BandType(), t);
    }
    EXPECT_EQ(static_cast<TkvBandView*>(back.Page(1)->Object(5))->DataSource(), "Customers");
    EXPECT_EQ(back.Dictionary.Variables.Count(), 2);
    EXPECT_EQ(back.DocName, "Orders");
    EXPECT_EQ(back.DocPassword, "secret");
    EXPECT_EQ(Save(back).toHex(), first.toHex());
}

TEST_F(TemplateTest, NewerVersionIsRefusedAndThePagesStay) {
    TkvReport r;
    FillReport(r);
    QByteArray bytes = Save(r);
    bytes[0] = 26;
    const TkvTemplateLoadResult res = Load(r, bytes);
    EXPECT_EQ(res.status, TkvTemplateLoadResult::Status::UnsupportedVersion);
    EXPECT_EQ(res.Message, "Unsupported KVF format");
    EXPECT_EQ(r.PageCount(), 2);
    EXPECT_EQ(r.Page(1)->ObjectCount(), 23);
}

// A version 21 stream has no version byte, old strings, page records without marker or name.
QByteArray OldTemplate() {
    TkvMemoryStream s;
    s.WriteWord(7); // KeepCurrentPrinter: its low byte is the first byte of the stream
    s.WriteWord(0);
    s.WriteByte(0); // printer name "" in the old encoding
    s.WriteByte(255);
    for (int32_t v : {9, 2100, 2970, 10, 11, 12, 13})
        s.WriteInt(v);
    s.WriteByte(0);
    s.WriteBytes(QByteArray(6, '\0'));
    s.WriteWord(0);
    s.WriteWord(0xFFFF);
    s.WriteInt(1);
    s.WriteInt(0);
    s.WriteByte(252);
    return s.TakeData();
}

TEST_F(TemplateTest, FirstByteSevenIsAVersion21StreamWithoutVersionByte) {
    TkvReport r;
    const TkvTemplateLoadResult res = Load(r, OldTemplate());
    ASSERT_TRUE(res.Ok()) << res.Message.constData();
    ASSERT_EQ(r.PageCount(), 1);
    EXPECT_EQ(r.KeepCurrentPrinter, 7);
    EXPECT_EQ(r.Page(0)->Name, "Page1");
    EXPECT_EQ(r.Page(0)->TopMargin, 11);
    EXPECT_EQ(r.Page(0)->Columns, 1);
    EXPECT_TRUE(r.Page(0)->Script.isEmpty());
    EXPECT_EQ(r.WriterMark, 88); // ends after the pages part: reset document information
}

TEST_F(TemplateTest, TwoMissingClassesInOneMessageAndTheOtherObjectsLoad) {
    TkvReport r;
    FillReport(r);
    QByteArray bytes = Save(r);
    // Rename two add-in entries to classes nobody registered: the class name is a stream string of
    // the same length, so the offsets stay valid.
    const QByteArray rich = "TkvRichView";
    TkvReport two;
    FillReport(two);
    std::unique_ptr<TkvView> another = kv::CreateViewByType(kvvt::AddIn, rich);
    another->Name = "Rich2";
    two.Page(1)->Objects.push_back(std::move(another));
    bytes = Save(two);
    const qsizetype a = bytes.indexOf(rich);
    const qsizetype b = bytes.indexOf(rich, a + 1);
    ASSERT_GT(b, a);
    bytes.replace(a, rich.size(), "TkvGaugeXYZ");
    bytes.replace(b, rich.size(), "TkvChartXYZ");
    TkvReport back;
    const TkvTemplateLoadResult res = Load(back, bytes);
    EXPECT_EQ(res.status, TkvTemplateLoadResult::Status::MissingClasses);
    EXPECT_EQ(res.Message, "Report contains the following non-plugged components:\rTkvGaugeXYZ\rTkvChartXYZ\r"
                           "You must include these components into your project.");
    ASSERT_EQ(back.PageCount(), 2);
    EXPECT_EQ(back.Page(0)->ObjectCount(), 4);
    EXPECT_EQ(back.Page(1)->ObjectCount(), 23);
    EXPECT_NE(back.FindViewByName("Line1"), nullptr);
}

TEST_F(TemplateTest, PageRecordOfVersion23TakesAFreePageName) {
    TkvReport r;
    r.Pages.Add();
    r.Page(0)->Name = "Page1";
    kv::CurReport() = &r;
    TkvMemoryStream s;
    for (int32_t v : {-1, 9, 0, 0, 1, 2, 3, 4})
        s.WriteInt(v);
    s.WriteByte(1);
    s.WriteWord(0xFFFF);
    s.WriteWord(0);
    s.WriteInt(3);
    s.WriteInt(5);
    s.Seek(0);
    kv::StreamVersion = 23;
    TkvPage page;
    kv::ReadPageRecord(s, page, &r);
    EXPECT_EQ(page.Name, "Page2");
    EXPECT_EQ(page.Orientation, 1);
    EXPECT_EQ(page.PrintToPrevPage, 0xFFFF);
    EXPECT_EQ(page.Columns, 3);
    EXPECT_EQ(s.Remaining(), 0);
}

TEST_F(TemplateTest, DocumentInformationAndPasswords) {
    TkvReport r;
    FillReport(r);
    r.DocPasswordProtected = true;
    const QByteArray bytes = Save(r);

    struct Case {
        const char* name;
        bool fromFile;
        std::optional<QByteArray> answer; // none: cancelled
        bool loaded;
    } cases[] = {
        {"in-memory copy asks nothing", false, std::nullopt, true},
        {"right password", true, QByteArray("secret"), true},
        {"wrong password", true, QByteArray("Secret"), false},
        {"cancelled", true, std::nullopt, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TkvReport back;
        TkvTemplateLoadOptions o;
        o.FromFile = c.fromFile;
        o.AskPassword = [&](QByteArray& p) {
            if (!c.answer) return false;
            p = *c.answer;
            return true;
        };
        TkvMemoryStream s(bytes);
        EXPECT_EQ(back.LoadFromStream(s, o).Ok(), c.loaded);
        EXPECT_EQ(back.PageCount(), c.loaded ? 2 : 1);
        EXPECT_EQ(back.DocName, c.loaded ? "Orders" : "");
        if (!c.loaded) {
            EXPECT_EQ(back.TemplateFileName, "Untitled");
            EXPECT_EQ(back.Page(0)->ObjectCount(), 0);
        }
    }
}

TEST_F(TemplateTest, MorePagesThanAnEntryCanAddressIsRefused) {
    TkvReport r;
    for (int i = 0; i < 257; ++i)
        r.Pages.push_back(std::make_unique<TkvPage>());
    TkvMemoryStream s;
    EXPECT_THROW(kv::SaveTemplate(r, s), TkvTemplateError);
    EXPECT_EQ(s.Size(), 0);
}

// Every truncation and every single-byte change of a template either loads or fails cleanly,
// leaving at least one page after a failure.
TEST_F(TemplateTest, TruncationAndByteFlipSweeps) {
    TkvReport r;
    FillReport(r);
    const QByteArray bytes = Save(r);
    for (qsizetype n = 1; n < bytes.size(); ++n) {
        TkvReport back;
        const TkvTemplateLoadResult res = Load(back, bytes.left(n));
        if (!res.Ok()) {
            EXPECT_GE(back.PageCount(), 1) << "cut at " << n;
            EXPECT_FALSE(res.Message.isEmpty());
        }
    }
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        for (uint8_t x : {0x01, 0x80, 0xFF}) {
            QByteArray damaged = bytes;
            damaged[i] = static_cast<char>(damaged[i] ^ x);
            TkvReport back;
            const TkvTemplateLoadResult res = Load(back, damaged);
            if (res.status == TkvTemplateLoadResult::Status::Unreadable) {
                EXPECT_EQ(back.PageCount(), 1);
            }
        }
    }
}

TEST_F(TemplateTest, FilesLibraryFilesAndTheHostFormProperty) {
    QTemporaryDir dir;
    TkvReport r;
    FillReport(r);
    const QString kvf = dir.filePath("a.kvf");
    r.SaveToFile(kvf);
    TkvReport back;
    EXPECT_TRUE(back.LoadFromFile(kvf));
    EXPECT_EQ(back.TemplateFileName, kvf.toUtf8());
    EXPECT_EQ(back.Page(1)->ObjectCount(), 23);
    TkvTemplateLoadResult why;
    EXPECT_FALSE(back.LoadFromFile(dir.filePath("missing.kvf"), &why));

    // A file that exists but is no template: false, never success.
    QFile junk(dir.filePath("junk.kvf"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("\x19\x00\x00garbage", 10);
    junk.close();
    EXPECT_FALSE(back.LoadFromFile(junk.fileName(), &why));
    EXPECT_EQ(why.Message, "Unsupported KVF format");

    const QString kvt = dir.filePath("lib.kvt");
    QImage picture(8, 6, QImage::Format_RGB32);
    picture.fill(Qt::red);
    kv::WriteTemplateLibraryFile(kvt, r, {"Orders list", "two pages"}, picture);
    TkvReport fromLib;
    const TkvTemplateLibraryEntry only = kv::ReadTemplateLibraryFile(kvt, &fromLib, false);
    EXPECT_EQ(only.Description, TkvStringList({"Orders list", "two pages"}));
    EXPECT_EQ(only.Picture.size(), QSize(8, 6));
    EXPECT_EQ(fromLib.PageCount(), 0);
    kv::ReadTemplateLibraryFile(kvt, &fromLib, true);
    EXPECT_EQ(fromLib.PageCount(), 2);
    EXPECT_EQ(fromLib.Page(1)->ObjectCount(), 23);

    r.StoreInDFM = false;
    EXPECT_EQ(kv::ReportFormPropertyBytes(r).toHex(), "19000000");
    r.StoreInDFM = true;
    const QByteArray form = kv::ReportFormPropertyBytes(r);
    TkvReport host;
    host.StoreInDFM = true;
    TkvMemoryStream fs(form);
    kv::ReadReportFormProperty(host, fs);
    EXPECT_EQ(host.PageCount(), 0); // loaded only once the whole form is read
    EXPECT_TRUE(kv::FormLoaded(host));
    EXPECT_EQ(host.PageCount(), 2);
}

} // namespace
