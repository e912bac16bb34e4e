// Decoding and encoding stored text by font character set.
#include "base/codepage.h"

#include <gtest/gtest.h>

namespace {

QByteArray Bytes(std::initializer_list<int> b) {
    QByteArray out;
    for (int c : b)
        out.append(static_cast<char>(c));
    return out;
}

// Restores the default code page and the environment variable after a test.
class CodePageTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedEnv_ = qgetenv("KV_DEFAULT_CODEPAGE"),
        hadEnv_ = qEnvironmentVariableIsSet("KV_DEFAULT_CODEPAGE");
    }
    void TearDown() override {
        if (hadEnv_)
            qputenv("KV_DEFAULT_CODEPAGE", savedEnv_);
        else
            qunsetenv("KV_DEFAULT_CODEPAGE");
        kv::SetDefaultCodePage({});
    }

private:
    QByteArray savedEnv_;
    bool hadEnv_ = false;
};

TEST_F(CodePageTest, CyrillicDecodesFromWindows1251AndCp866) {
    const QString privet = QString::fromUtf8("Привет");
    EXPECT_EQ(kv::DecodeText(Bytes({0xCF, 0xF0, 0xE8, 0xE2, 0xE5, 0xF2}), kvcs::Russian), privet);
    EXPECT_EQ(kv::DecodeText(Bytes({0x8F, 0xE0, 0xA8, 0xA2, 0xA5, 0xE2}), kvcs::Oem), privet);
    EXPECT_EQ(kv::EncodeText(privet, kvcs::Russian), Bytes({0xCF, 0xF0, 0xE8, 0xE2, 0xE5, 0xF2}));
    EXPECT_EQ(kv::EncodeText(privet, kvcs::Oem), Bytes({0x8F, 0xE0, 0xA8, 0xA2, 0xA5, 0xE2}));
}

TEST_F(CodePageTest, EachCharsetHasItsCodePage) {
    struct Case {
        int charset;
        QByteArray bytes;
        const char* utf8;
    };
    const Case cases[] = {
        {kvcs::Ansi, Bytes({0x80, 0xE9}), "€é"},
        {kvcs::EastEurope, Bytes({0x8A, 0xB9}), "Šą"},
        {kvcs::Greek, Bytes({0xE1, 0xE2}), "αβ"},
        {kvcs::Turkish, Bytes({0xF0, 0xFE}), "ğş"},
        {kvcs::Hebrew, Bytes({0xE0}), "א"},
        {kvcs::Baltic, Bytes({0xE0}), "ą"},
        {kvcs::Thai, Bytes({0xA1}), "ก"},
        {kvcs::Mac, Bytes({0x80}), "Ä"},
        {kvcs::Symbol, Bytes({0x41, 0xB7}), "A·"}, // Latin-1 passthrough
        {kvcs::ShiftJis, Bytes({0x82, 0xA0}), "あ"},
        {kvcs::Gb2312, Bytes({0xC4, 0xE3}), "你"},
        {kvcs::ChineseBig5, Bytes({0xA4, 0x40}), "一"},
        {kvcs::Hangeul, Bytes({0xB0, 0xA1}), "가"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kv::DecodeText(c.bytes, c.charset), QString::fromUtf8(c.utf8)) << c.charset;
        EXPECT_EQ(kv::EncodeText(QString::fromUtf8(c.utf8), c.charset), c.bytes) << c.charset;
    }
}

TEST_F(CodePageTest, DefaultCharsetUsesWindows1251UnlessOverridden) {
    qunsetenv("KV_DEFAULT_CODEPAGE");
    kv::SetDefaultCodePage({});
    EXPECT_EQ(kv::CodecNameForCharset(kvcs::Default), "windows-1251");
    EXPECT_EQ(kv::DecodeText(Bytes({0xC0}), kvcs::Default), QString::fromUtf8("А"));
    // Character sets without a code page of their own follow the default one.
    EXPECT_EQ(kv::CodecNameForCharset(130), "windows-1251");

    qputenv("KV_DEFAULT_CODEPAGE", "windows-1250");
    kv::SetDefaultCodePage({});
    EXPECT_EQ(kv::DecodeText(Bytes({0x8A}), kvcs::Default), QString::fromUtf8("Š"));

    EXPECT_TRUE(kv::SetDefaultCodePage("windows-1253"));
    EXPECT_EQ(kv::DecodeText(Bytes({0xE1}), kvcs::Default), QString::fromUtf8("α"));
    EXPECT_FALSE(kv::SetDefaultCodePage("no-such-codepage"));
    EXPECT_EQ(kv::DefaultCodePage(), "windows-1253");

    qputenv("KV_DEFAULT_CODEPAGE", "no-such-codepage");
    kv::SetDefaultCodePage({});
    EXPECT_EQ(kv::DefaultCodePage(), "windows-1251");
}

TEST_F(CodePageTest, UnencodableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(kv::EncodeText(QString::fromUtf8("a€中b"), kvcs::Russian), Bytes({'a', 0x88, '?', 'b'}));
    EXPECT_EQ(kv::EncodeText(QString::fromUtf8("x😀y"), kvcs::Ansi), "x?y");
    EXPECT_EQ(kv::EncodeText(QString::fromUtf8("Ω"), kvcs::Symbol), "?");
    // A failed conversion leaves nothing behind for the next one.
    EXPECT_EQ(kv::EncodeText(QString::fromUtf8("plain Ж"), kvcs::Russian), "plain \xC6");
}

TEST_F(CodePageTest, LeadBytesOnlyInDoubleByteCodePages) {
    EXPECT_TRUE(kv::IsLeadByte(kvcs::ShiftJis, 0x82));
    EXPECT_TRUE(kv::IsLeadByte(kvcs::ShiftJis, 0xE0));
    EXPECT_FALSE(kv::IsLeadByte(kvcs::ShiftJis, 0xA1)); // half-width katakana is one byte
    EXPECT_FALSE(kv::IsLeadByte(kvcs::ShiftJis, 0x41));
    for (int cs : {kvcs::Gb2312, kvcs::ChineseBig5, kvcs::Hangeul}) {
        EXPECT_TRUE(kv::IsLeadByte(cs, 0x81)) << cs;
        EXPECT_TRUE(kv::IsLeadByte(cs, 0xFE)) << cs;
        EXPECT_FALSE(kv::IsLeadByte(cs, 0x80)) << cs;
        EXPECT_FALSE(kv::IsLeadByte(cs, 0xFF)) << cs;
    }
    for (int cs : {kvcs::Ansi, kvcs::Default, kvcs::Russian, kvcs::Oem, kvcs::Symbol})
        EXPECT_FALSE(kv::IsLeadByte(cs, 0x82)) << cs;
}

} // namespace
