// The picture object's data: the record tail with its stored end position, the blob type gate,
// kept graphic bytes, truncated and inconsistent records, properties, handles and file loading.
#include "stand_in_evaluator.h"
#include "core/views/picture_view.h"
#include "base/variables.h"
#include "record_builder.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using kvtest::AppendViewRecord;
using kvtest::ReadRecord;
using kvtest::RecordBuilder;
using kvtest::ViewRecordFields;
using kvtest::WriteRecord;

namespace {

class PictureViewTest : public ::testing::Test {
protected:
    void TearDown() override {
        kv::StreamVersion = kv::CurrentStreamVersion;
    }
};

// Bytes that are no valid graphic of any kind, with zeros and 0xFF in them.
QByteArray OddBytes(int n) {
    QByteArray b;
    for (int i = 0; i < n; ++i)
        b.append(char((i * 37 + 11) % 256));
    b[0] = 0;
    b[1] = char(0xFF);
    return b;
}

// A picture record of the given version: kind, blob type (only when the record version allows),
// end position (absolute, computed from `offset`, the record's position in its stream) and data.
QByteArray BuildPictureRecord(int version, bool prepared, const ViewRecordFields& common, uint8_t kind,
                              uint8_t blobType, const QByteArray& data, qint64 offset = 0) {
    RecordBuilder b(version);
    AppendViewRecord(b, common, prepared);
    b.U8(kind);
    const int recVersion = version >= 24 ? common.RecordVersion : 0;
    const int classVersion = version >= 24 ? common.ClassRecordVersion : 0;
    if (recVersion * 10 + classVersion > 10) b.U8(blobType);
    b.I32(static_cast<int32_t>(offset + b.Size() + 4 + data.size()));
    b.Raw(data);
    return b.Bytes();
}

TEST_F(PictureViewTest, ConstructorDefaults) {
    TkvPictureView p;
    EXPECT_EQ(p.ObjectType, 1);
    EXPECT_EQ(p.NamePrefix, "Picture");
    EXPECT_EQ(p.Flags, 0x0005);
    EXPECT_EQ(p.BlobType, 0);
    EXPECT_TRUE(p.Picture.IsEmpty());
    EXPECT_STREQ(p.ClassName(), "TkvPictureView");
}

TEST_F(PictureViewTest, GraphicBytesSurviveByteForByte) {
    for (bool prepared : {false, true}) {
        SCOPED_TRACE(prepared ? "prepared" : "design");
        TkvPictureView p;
        p.Name = "Logo";
        p.Flags = 0x0003;
        p.BlobType = kvblob::Icon;
        p.Picture = {kvgk::Jpeg, OddBytes(5000)};
        const QByteArray bytes = WriteRecord(p, prepared);
        qint64 end = 0;
        auto back = ReadRecord<TkvPictureView>(bytes, 25, prepared, &end);
        EXPECT_EQ(end, bytes.size());
        EXPECT_EQ(back->Picture, p.Picture);
        EXPECT_EQ(back->BlobType, kvblob::Icon);
        EXPECT_EQ(back->Flags, 0x0003);
        EXPECT_EQ(WriteRecord(*back, prepared), bytes);
    }
}

TEST_F(PictureViewTest, EndPositionIsAbsoluteAndRewrittenForEachStream) {
    TkvPictureView p;
    p.Picture = {kvgk::Bitmap, OddBytes(100)};
    TkvMemoryStream s;
    s.WriteBytes("0123456"); // whatever precedes the record in its stream
    p.SaveToStream(s);
    const qint64 end = s.Position();
    EXPECT_EQ(end, s.Size());
    // The end position sits just before the data.
    const QByteArray& d = s.Data();
    const qint64 at = end - 100 - 4;
    EXPECT_EQ(qFromLittleEndian<qint32>(d.constData() + at), end);

    s.Seek(7);
    kv::StreamVersion = 25;
    TkvPictureView back;
    back.LoadFromStream(s);
    EXPECT_EQ(s.Position(), end);
    EXPECT_EQ(back.Picture, p.Picture);
}

TEST_F(PictureViewTest, ReaderAlwaysEndsAtTheEndPosition) {
    // Kind 0 carries no data but still its end position; a stored end position beyond the data
    // (padding a reader of the graphic would not consume) is honoured too.
    struct Case {
        uint8_t kind;
        QByteArray data;
        bool keepsBytes;
    };
    const Case cases[] = {
        {kvgk::None, {}, false},
        {kvgk::None, "padding", false},
        {kvgk::Bitmap, "not a bitmap at all", true}, // undecodable data is no load error
        {kvgk::Metafile, {}, true},
        {77, "a kind this library does not know", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.kind));
        QByteArray stream = BuildPictureRecord(25, true, {}, c.kind, 2, c.data);
        const qint64 recordEnd = stream.size();
        stream.append("NEXT");
        qint64 end = 0;
        auto p = ReadRecord<TkvPictureView>(stream, 25, true, &end);
        EXPECT_EQ(end, recordEnd);
        EXPECT_EQ(p->Picture.Kind, c.kind);
        EXPECT_EQ(p->Picture.Data, c.keepsBytes ? c.data : QByteArray());
    }
}

// The blob type byte is there only when RecordVersion x 10 + ClassRecordVersion is above 10, which
// no record before version 24 reaches.
TEST_F(PictureViewTest, BlobTypeGate) {
    struct Case {
        int version;
        uint8_t recordVersion, classVersion;
        bool hasBlobType;
    };
    const Case cases[] = {
        {25, 2, 0, true}, {25, 1, 1, true},  {25, 1, 0, false}, {24, 0, 9, false},
        {24, 2, 0, true}, {23, 2, 0, false}, {22, 2, 0, false}, {21, 2, 0, false},
    };
    for (const Case& c : cases) {
        for (bool prepared : {false, true}) {
            SCOPED_TRACE(testing::Message() << "version " << c.version << " record " << int(c.recordVersion)
                                            << "." << int(c.classVersion) << (prepared ? " prepared" : ""));
            ViewRecordFields common;
            common.RecordVersion = c.recordVersion;
            common.ClassRecordVersion = c.classVersion;
            const QByteArray data = OddBytes(20);
            const QByteArray bytes = BuildPictureRecord(c.version, prepared, common, kvgk::Icon, 3, data);
            qint64 end = 0;
            auto p = ReadRecord<TkvPictureView>(bytes, c.version, prepared, &end);
            EXPECT_EQ(end, bytes.size());
            EXPECT_EQ(p->BlobType, c.hasBlobType ? 3 : 0);
            EXPECT_EQ(p->Picture.Data, data);
            EXPECT_EQ(p->Memo, common.Lines);
        }
    }
}

TEST_F(PictureViewTest, EndPositionOutsideTheStreamIsAStreamError) {
    RecordBuilder head(25);
    AppendViewRecord(head, {}, false);
    head.U8(kvgk::Bitmap).U8(0);
    const qint64 dataStart = head.Size() + 4;
    const QByteArray data = OddBytes(16);
    for (qint64 storedEnd : {qint64(-1), qint64(0), dataStart - 1, dataStart + 17, qint64(INT32_MAX)}) {
        SCOPED_TRACE(storedEnd);
        RecordBuilder b = head;
        b.I32(static_cast<int32_t>(storedEnd)).Raw(data);
        EXPECT_THROW(ReadRecord<TkvPictureView>(b.Bytes(), 25, false), TkvStreamError);
    }
}

TEST_F(PictureViewTest, EndPositionBeyondTheRecordBoundIsAStreamError) {
    // Inside a record bound (as template entries with a next offset are read) the end position may
    // not point past the bound, even though the underlying stream goes on.
    const QByteArray record = BuildPictureRecord(25, false, {}, kvgk::Jpeg, 1, OddBytes(30));
    TkvMemoryStream s(record + QByteArray(50, 'x'));
    kv::StreamVersion = 25;
    TkvBoundedStream bounded(s, record.size() - 10);
    TkvPictureView p;
    EXPECT_THROW(p.LoadFromStream(bounded), TkvStreamError);
}

TEST_F(PictureViewTest, EveryPrefixRaisesTheStreamError) {
    for (int version : {21, 22, 23, 24, 25}) {
        for (bool prepared : {false, true}) {
            SCOPED_TRACE(testing::Message() << "version " << version << (prepared ? " prepared" : ""));
            for (uint8_t kind : {kvgk::None, kvgk::Bitmap}) {
                const QByteArray data = kind ? OddBytes(9) : QByteArray();
                kvtest::ExpectEveryPrefixFails<TkvPictureView>(
                    BuildPictureRecord(version, prepared, {}, kind, 1, data), version, prepared);
            }
        }
    }
}

// ---------------------------------------------------------------- properties

TEST_F(PictureViewTest, OwnPropertiesByName) {
    TkvPictureView p;
    p.Flags = 0;
    p.SetProperty("center", true);
    EXPECT_EQ(p.Flags, kvpf::Center);
    p.SetProperty("KeepAspect", true);
    EXPECT_EQ(p.Flags, kvpf::Center | kvpf::KeepAspect);
    p.SetProperty("CENTER", false);
    EXPECT_EQ(p.Flags, kvpf::KeepAspect);
    EXPECT_EQ(p.Property("Center"), TkvVariant(false));
    EXPECT_EQ(p.Property("keepaspect"), TkvVariant(true));
    p.SetProperty("BlobType", 3);
    EXPECT_EQ(p.BlobType, 3);
    EXPECT_EQ(p.Property("BLOBTYPE"), TkvVariant(3));
    EXPECT_EQ(p.Property("Stretched"), TkvVariant(false));
    EXPECT_TRUE(p.Property("Font.Name").isNull());
}

TEST_F(PictureViewTest, PictureHandlesCopyBetweenLiveViewsOnly) {
    TkvPictureView a, b;
    a.Picture = {kvgk::Bitmap, "BM1234"};
    const TkvVariant handle = a.Property("Picture");
    EXPECT_EQ(handle, TkvVariant(a.PictureHandle()));
    EXPECT_NE(a.PictureHandle(), b.PictureHandle());

    b.SetProperty("Picture", handle);
    EXPECT_EQ(b.Picture, a.Picture);
    b.SetProperty("Picture", 0);
    EXPECT_TRUE(b.Picture.IsEmpty());

    int64_t gone;
    {
        TkvPictureView temporary;
        gone = temporary.PictureHandle();
    }
    EXPECT_THROW(b.SetProperty("Picture", gone), TkvVariantError);
    EXPECT_THROW(b.SetProperty("Picture", int64_t(0x7FFF0000DEADLL)), TkvVariantError);
    a.SetProperty("Picture", handle); // its own picture: unchanged
    EXPECT_EQ(a.Picture.Data, "BM1234");
}

TEST_F(PictureViewTest, RegisteredProperties) {
    TkvPictureView p;
    p.EnsureProperties();
    const std::pair<const char*, uint16_t> expected[] = {
        {"Picture", 0x40}, {"Stretched", 8},     {"Center", 8},
        {"KeepAspect", 8}, {"DataField", 0x141}, {"BlobType", 0x20},
    };
    const size_t first = p.PropertyTable.size() - std::size(expected);
    EXPECT_EQ(p.PropertyTable[first - 1]->PropName, "Restrictions");
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(p.PropertyTable[first + i]->PropName, expected[i].first);
        EXPECT_EQ(p.PropertyTable[first + i]->PropKind, expected[i].second) << expected[i].first;
    }
    const TkvPropRec* blob = p.FindProperty("blobtype");
    ASSERT_TRUE(blob && blob->EnumNames);
    EXPECT_EQ(*blob->EnumNames, (TkvStringList{"btBMP", "btJPG", "btICO", "btWMF"}));
    EXPECT_EQ(blob->EnumValues, TkvVariant(QList<TkvVariant>{0, 1, 2, 3}));

    TkvVariables constants(true);
    kv::DefineBlobTypeConstants(constants);
    EXPECT_EQ(constants.GetVariable("btWMF"), TkvVariant(3));
    EXPECT_EQ(constants.GetVariable("btBMP"), TkvVariant(0));
}

// ---------------------------------------------------------------- loading

TEST_F(PictureViewTest, KindOfFileBySignatureThenExtension) {
    QByteArray emf(44, '\0');
    emf[0] = 1;
    emf.replace(40, 4, " EMF");
    struct Case {
        QByteArray bytes;
        const char* name;
        uint8_t kind;
    };
    const Case cases[] = {
        {"BM\x36\x00", "x.dat", kvgk::Bitmap},
        {QByteArray("\xFF\xD8\xFF\xE0", 4), "photo.bmp", kvgk::Jpeg}, // the signature wins
        {QByteArray("\x00\x00\x01\x00", 4), "", kvgk::Icon},
        {QByteArray("\xD7\xCD\xC6\x9A", 4), "", kvgk::Metafile},
        {QByteArray("\x01\x00\x09\x00", 4), "", kvgk::Metafile},
        {emf, "", kvgk::Metafile},
        {"????", "scan.JPEG", kvgk::Jpeg},
        {"????", "a.wmf", kvgk::Metafile},
        {"????", "a.txt", kvgk::None},
        {"", "", kvgk::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TkvGraphic::KindOfFile(c.bytes, QString::fromLatin1(c.name)), c.kind);
    }
}

TEST_F(PictureViewTest, LoadFromFileMethod) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("logo.bmp");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("BM-some-bitmap-bytes");
    f.close();

    TkvPictureView p;
    TkvVariant r;
    EXPECT_THROW(p.CallMethod("LOADFROMFILE", "'x'", {}, {}, r), TkvVariantError); // no evaluator yet

    // The argument is an expression; this stand-in evaluator maps it to a file name.
    kvtest::ScopedEvaluator scope([&](const QByteArray& e) {
        return e == "FileName" ? TkvVariant(QFile::encodeName(path)) : TkvVariant(e);
    });
    p.CallMethod("LOADFROMFILE", "FileName", {}, {}, r);
    EXPECT_EQ(p.Picture, (TkvGraphic{kvgk::Bitmap, "BM-some-bitmap-bytes"}));

    p.CallMethod("LOADFROMFILE", QFile::encodeName(dir.filePath("missing.bmp")), {}, {}, r);
    EXPECT_TRUE(p.Picture.IsEmpty());
    p.Picture = {kvgk::Bitmap, "BM"};
    p.CallMethod("LOADFROMFILE", "", {}, {}, r);
    EXPECT_TRUE(p.Picture.IsEmpty());
    p.Picture = {kvgk::Bitmap, "BM"};
    p.CallMethod("LOADFROMFILE", QFile::encodeName(dir.path()), {}, {}, r); // a directory
    EXPECT_TRUE(p.Picture.IsEmpty());
}

TEST_F(PictureViewTest, LoadFromBlobFollowsBlobType) {
    TkvPictureView p;
    p.BlobType = kvblob::Metafile;
    p.LoadFromBlob("whatever", false);
    EXPECT_EQ(p.Picture, (TkvGraphic{kvgk::Metafile, "whatever"}));
    p.LoadFromBlob("whatever", true);
    EXPECT_TRUE(p.Picture.IsEmpty());
    p.BlobType = 9; // no such blob type: the bytes must say what they are
    p.LoadFromBlob(QByteArray("\xFF\xD8\xFF\xE1", 4), false);
    EXPECT_EQ(p.Picture.Kind, kvgk::Jpeg);
    p.LoadFromBlob("????", false);
    EXPECT_TRUE(p.Picture.IsEmpty());
}

} // namespace
