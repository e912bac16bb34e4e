// Byte images of stream strings, stream memos and hex text, in both encodings.
#include "core/globals.h"
#include "base/stream_text.h"

#include <gtest/gtest.h>

namespace {

// Sets StreamVersion for one test and restores it afterwards.
class StreamVersionGuard {
public:
    explicit StreamVersionGuard(uint8_t v) : saved_(kv::StreamVersion) { kv::StreamVersion = v; }
    ~StreamVersionGuard() { kv::StreamVersion = saved_; }

private:
    uint8_t saved_;
};

QByteArray Bytes(std::initializer_list<int> b) {
    QByteArray out;
    for (int c : b)
        out.append(static_cast<char>(c));
    return out;
}

QByteArray WrittenString(const QByteArray& text) {
    TkvMemoryStream s;
    kv::WriteStreamString(s, text);
    return s.Data();
}

QByteArray WrittenMemo(const TkvStringList& lines) {
    TkvMemoryStream s;
    kv::WriteStreamMemo(s, lines);
    return s.Data();
}

TEST(StreamString, EmptyStringIsThreeZeroBytesAndReadsBack) {
    StreamVersionGuard v(kv::CurrentStreamVersion);
    EXPECT_EQ(WrittenString(""), Bytes({0, 0, 0}));
    TkvMemoryStream s(Bytes({0, 0, 0, 0x55}));
    EXPECT_EQ(kv::ReadStreamString(s), QByteArray());
    EXPECT_EQ(s.Position(), 3);
}

TEST(StreamString, TextRoundTripsWithLengthAndEndMark) {
    StreamVersionGuard v(kv::CurrentStreamVersion);
    EXPECT_EQ(WrittenString("ab"), Bytes({2, 0, 'a', 'b', 0}));
    TkvMemoryStream s(WrittenString("ab"));
    EXPECT_EQ(kv::ReadStreamString(s), "ab");
    EXPECT_EQ(s.Remaining(), 0);
}

TEST(StreamString, OverlongTextKeepsItsFirst65535BytesAndTheStreamStaysReadable) {
    StreamVersionGuard v(kv::CurrentStreamVersion);
    TkvMemoryStream s;
    kv::WriteStreamString(s, QByteArray(70000, 'x'));
    kv::WriteStreamString(s, "next");
    s.Seek(0);
    EXPECT_EQ(kv::ReadStreamString(s).size(), 65535);
    EXPECT_EQ(kv::ReadStreamString(s), "next");
}

TEST(StreamString, OldEncodingIsZeroTerminated) {
    StreamVersionGuard v(22);
    TkvMemoryStream s(Bytes({'a', 'b', 0, 'c'}));
    EXPECT_EQ(kv::ReadStreamString(s), "ab");
    EXPECT_EQ(s.Position(), 3);
}

TEST(StreamMemo, LinesAbAndEmptyHaveTheExpectedImage) {
    StreamVersionGuard v(kv::CurrentStreamVersion);
    const QByteArray image = Bytes({2, 0, 2, 0, 'a', 'b', 13, 0, 0, 0});
    EXPECT_EQ(WrittenMemo({"ab", ""}), image);
    TkvMemoryStream s(image);
    TkvStringList lines{"stale"};
    kv::ReadStreamMemo(s, lines);
    EXPECT_EQ(lines, (TkvStringList{"ab", ""}));
    EXPECT_EQ(s.Remaining(), 0);
}

TEST(StreamMemo, EmptyListIsThreeZeroBytes) {
    StreamVersionGuard v(kv::CurrentStreamVersion);
    EXPECT_EQ(WrittenMemo({}), Bytes({0, 0, 0}));
    TkvMemoryStream s(Bytes({0, 0, 0}));
    TkvStringList lines{"stale"};
    kv::ReadStreamMemo(s, lines);
    EXPECT_TRUE(lines.isEmpty());
    EXPECT_EQ(s.Remaining(), 0);
}

TEST(StreamMemo, SeparatorsNotTheCountBoundTheList) {
    StreamVersionGuard v(kv::CurrentStreamVersion);
    // The count says 1 but three lines follow.
    TkvMemoryStream s(Bytes({1, 0, 1, 0, 'a', 13, 1, 0, 'b', 13, 0, 0, 0}));
    TkvStringList lines;
    kv::ReadStreamMemo(s, lines);
    EXPECT_EQ(lines, (TkvStringList{"a", "b", ""}));
}

// A list whose line count is a multiple of 65536 used to store the count 0, which reads back as an
// empty list and leaves the lines in the stream as garbage.
TEST(StreamMemo, LineCountWithZeroLow16BitsStillReadsBack) {
    StreamVersionGuard v(kv::CurrentStreamVersion);
    const TkvStringList many(65536, QByteArray("x"));
    TkvMemoryStream s;
    kv::WriteStreamMemo(s, many);
    kv::WriteStreamString(s, "after");
    s.Seek(0);
    TkvStringList lines;
    kv::ReadStreamMemo(s, lines);
    EXPECT_EQ(lines.size(), 65536);
    EXPECT_EQ(kv::ReadStreamString(s), "after");
}

TEST(StreamMemo, OldEncodingSplitsAtEveryCarriageReturn) {
    StreamVersionGuard v(22);
    struct Case {
        QByteArray bytes;
        TkvStringList lines;
    };
    const Case cases[] = {
        {Bytes({'a', 13, 13, 'b', 0}), {"a", "", "b"}},
        {Bytes({'a', 13, 0}), {"a"}},
        {Bytes({0}), {}},
        {Bytes({13, 0}), {""}},
        {Bytes({'a', 10, 'b', 0}), {QByteArray("a\nb")}}, // byte 10 stays in the text
    };
    for (const Case& c : cases) {
        TkvMemoryStream s(c.bytes);
        TkvStringList lines;
        kv::ReadStreamMemo(s, lines);
        EXPECT_EQ(lines, c.lines) << c.bytes.toHex().constData();
        EXPECT_EQ(s.Remaining(), 0);
    }
}

// Every proper prefix of a valid image must raise the stream error, never read past the end.
TEST(StreamText, EveryPrefixOfAnImageRaisesTheStreamError) {
    struct Case {
        uint8_t version;
        bool memo;
        QByteArray image;
    };
    const Case cases[] = {
        {25, false, Bytes({0, 0, 0})},
        {25, false, Bytes({2, 0, 'a', 'b', 0})},
        {25, true, Bytes({2, 0, 2, 0, 'a', 'b', 13, 0, 0, 0})},
        {25, true, Bytes({0, 0, 0})},
        {22, false, Bytes({'a', 'b', 0})},
        {22, true, Bytes({'a', 13, 13, 'b', 0})},
    };
    for (const Case& c : cases) {
        StreamVersionGuard v(c.version);
        for (qsizetype n = 0; n < c.image.size(); ++n) {
            TkvMemoryStream s(c.image.left(n));
            TkvStringList lines;
            if (c.memo)
                EXPECT_THROW(kv::ReadStreamMemo(s, lines), TkvStreamError)
                    << c.image.toHex().constData() << " " << n;
            else
                EXPECT_THROW(kv::ReadStreamString(s), TkvStreamError)
                    << c.image.toHex().constData() << " " << n;
        }
    }
}

TEST(HexText, EncodesUpperCaseAndDecodesPairsIgnoringAnOddDigit) {
    EXPECT_EQ(kv::HexEncode("abc"), "616263");
    EXPECT_EQ(kv::HexEncode(Bytes({0x00, 0xAF, 0xFF})), "00AFFF");
    EXPECT_EQ(kv::HexDecode("616263"), "abc");
    EXPECT_EQ(kv::HexDecode("616263F"), "abc");
    EXPECT_EQ(kv::HexDecode("00afFF"), Bytes({0x00, 0xAF, 0xFF}));
    EXPECT_EQ(kv::HexDecode(""), "");
}

} // namespace
