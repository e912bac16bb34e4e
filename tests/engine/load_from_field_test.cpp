// Views bound to a database field take their content from the current record through the data
// layer while printing: the text of a blob field as the lines of a text object (not expanded
// again), the picture of a blob field as the picture's BlobType says, nulls, fields of other types
// and names the data set lacks. The entries written by PrintToStream are read back.
#include "core/views/memo_view.h"
#include "core/views/picture_view.h"
#include "base/stream_version.h"
#include "core/views/standard_views.h"
#include "core/views/view_factory.h"
#include "engine/data/row_sources.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QByteArray kJpeg("\xFF\xD8\xFF\xE0 jpeg bytes", 15);
const QByteArray kBitmap("BM bitmap bytes");

// Rows: 1 with a two-line text and a JPEG, 2 with nulls, 3 with one line and a bitmap.
struct BoundTable {
    QTemporaryDir dir;
    std::unique_ptr<TkvSqlConnection> connection;
    std::unique_ptr<TkvRecordSet> records;

    BoundTable() {
        const QString path = dir.filePath("t.db");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "fields-setup");
            db.setDatabaseName(path);
            db.open();
            QSqlQuery q(db);
            q.exec("create table t (id integer, notes blob, pic blob)");
            q.prepare("insert into t values (?, ?, ?)");
            const QVariant null(QMetaType(QMetaType::QByteArray));
            const QList<QVariantList> rows{{1, QByteArray("line one\r\nline [two]"), kJpeg},
                                           {2, null, null},
                                           {3, QByteArray("only"), kBitmap}};
            for (const QVariantList& row : rows) {
                for (int i = 0; i < 3; ++i)
                    q.bindValue(i, row[i]);
                q.exec();
            }
            db.close();
        }
        QSqlDatabase::removeDatabase("fields-setup");
        connection = std::make_unique<TkvSqlConnection>("sqlite:" + path);
        records = std::make_unique<TkvRecordSet>(
            "T", std::make_unique<TkvSqlRowSource>(*connection, "select id, notes, pic from t order by id", "T"));
        records->Open();
    }
};

std::unique_ptr<TkvView> PrintAndReadBack(TkvView& v) {
    kv::RegisterStandardViews();
    TkvMemoryStream s;
    v.Prepared = 1;
    v.PrintToStream(s);
    v.Prepared = 0;
    s.Seek(0);
    kv::StreamVersion = kv::CurrentStreamVersion;
    return kv::ReadObjectEntry(s, true);
}

TEST(LoadFromField, TextObjectTakesTheLinesOfABlobField) {
    BoundTable t;
    TkvMemoView m;
    m.SetBounds(0, 0, 400, 200);
    m.Memo = {"[T.\"notes\"]"};
    m.BoundDataSet = t.records.get();
    m.BoundFieldName = "NOTES";

    struct Case {
        int row;
        TkvStringList printed;
    } cases[] = {{1, {"line one", "line [two]"}}, {2, {}}, {3, {"only"}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        t.records->First();
        for (int i = 1; i < c.row; ++i)
            t.records->Next();
        auto back = PrintAndReadBack(m);
        auto* memo = dynamic_cast<TkvMemoView*>(back.get());
        ASSERT_TRUE(memo);
        EXPECT_EQ(memo->Memo, c.printed);
        // The height is that of the field's lines; the "[two]" in the data is text, not an expression.
        const int height = m.CalcHeight();
        if (c.printed.isEmpty()) {
            EXPECT_EQ(height, 0);
        } else {
            EXPECT_GT(height, 0);
            EXPECT_EQ(m.ResultText.size(), c.printed.size());
            EXPECT_TRUE(m.ResultText.back().startsWith(c.printed.back()));
        }
        // A print right after CalcHeight writes the lines just measured; the next record starts afresh.
        m.PrintPhase = kvpp::Normal;
    }

    // A field of another type, or a name the data set lacks, leaves the text to its expressions.
    t.records->First();
    for (const char* name : {"id", "missing"}) {
        m.BoundFieldName = name;
        auto back = PrintAndReadBack(m);
        EXPECT_EQ(dynamic_cast<TkvMemoView&>(*back).Memo, TkvStringList{"[T.\"notes\"]"}) << name;
    }
}

TEST(LoadFromField, PictureTakesTheBlobAsItsBlobTypeSays) {
    BoundTable t;
    TkvPictureView p;
    p.SetBounds(0, 0, 100, 100);
    p.Picture = {kvgk::Bitmap, kBitmap}; // what the template holds is replaced, also by a null
    p.BoundDataSet = t.records.get();
    p.BoundFieldName = "pic";
    struct Case {
        int row;
        uint8_t blobType;
        TkvGraphic expected;
    } cases[] = {{1, kvblob::Jpeg, {kvgk::Jpeg, kJpeg}},
                 {2, kvblob::Jpeg, {}},
                 {3, kvblob::Bitmap, {kvgk::Bitmap, kBitmap}},
                 {1, kvblob::Metafile, {kvgk::Metafile, kJpeg}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        t.records->First();
        for (int i = 1; i < c.row; ++i)
            t.records->Next();
        p.BlobType = c.blobType;
        auto back = PrintAndReadBack(p);
        auto* picture = dynamic_cast<TkvPictureView*>(back.get());
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->Picture, c.expected);
        EXPECT_EQ(p.Picture, c.expected);
    }
}

} // namespace
