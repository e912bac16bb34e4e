#pragma once
// The numeric conventions shared by views, the designer and scripts: colour names, frame sides,
// alignments, line styles, font style codes, dialog results and message box kinds. Their names are
// also the read-only constants that expressions and scripts see (core/constants_list.h).

#include <QByteArray>
#include <array>
#include <cstdint>

namespace kv {

struct TkvColorName {
    const char* Name;
    uint32_t Value;
};

// The 42 colour names in their fixed order (colour pickers and the constants list rely on it).
inline constexpr std::array<TkvColorName, 42> kColorNames = {{
    {"clWhite", 0xFFFFFF},
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clTransparent", 0x1FFFFFFF},
    {"clScrollBar", 0x80000000},
    {"clBackground", 0x80000001},
    {"clActiveCaption", 0x80000002},
    {"clInactiveCaption", 0x80000003},
    {"clMenu", 0x80000004},
    {"clWindow", 0x80000005},
    {"clWindowFrame", 0x80000006},
    {"clMenuText", 0x80000007},
    {"clWindowText", 0x80000008},
    {"clCaptionText", 0x80000009},
    {"clActiveBorder", 0x8000000A},
    {"clInactiveBorder", 0x8000000B},
    {"clAppWorkSpace", 0x8000000C},
    {"clHighlight", 0x8000000D},
    {"clHighlightText", 0x8000000E},
    {"clBtnFace", 0x8000000F},
    {"clBtnShadow", 0x80000010},
    {"clGrayText", 0x80000011},
    {"clBtnText", 0x80000012},
    {"clInactiveCaptionText", 0x80000013},
    {"clBtnHighlight", 0x80000014},
    {"cl3DDkShadow", 0x80000015},
    {"cl3DLight", 0x80000016},
    {"clInfoText", 0x80000017},
    {"clInfoBk", 0x80000018},
}};

// The colour of a name (compared without regard to case); false when the name is not a colour.
bool ColorByName(const QByteArray& name, uint32_t& value);
// The name of a colour value, or empty when it has none.
QByteArray ColorName(uint32_t value);

// A named numeric code, for the constants list.
struct TkvNamedCode {
    const char* Name;
    int32_t Value;
};

} // namespace kv

namespace kv {

// The code groups under their script names (the text alignment and font style bits are also
// the kvta and kvfs namespaces of the text object and view font headers).
constexpr int32_t kvftNone = 0, kvftRight = 1, kvftBottom = 2, kvftLeft = 4, kvftTop = 8;
constexpr int32_t kvtaLeft = 0, kvtaRight = 1, kvtaCenter = 2, kvtaVertical = 4, kvtaMiddle = 8,
                  kvtaDown = 16;
constexpr int32_t baNone = 0, baLeft = 1, baRight = 2, baCenter = 3, baWidth = 4, baBottom = 5, baTop = 6,
                  baRest = 7;
constexpr int32_t psSolid = 0, psDash = 1, psDot = 2, psDashDot = 3, psDashDotDot = 4, psDouble = 5;
constexpr int32_t fsItalic = 1, fsBold = 2, fsUnderline = 4, fsStrikeOut = 8; // bold is 2, italic 1
constexpr int32_t mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7;
constexpr int32_t mb_Ok = 0, mb_OkCancel = 1, mb_YesNoCancel = 3, mb_YesNo = 4, mb_IconError = 16,
                  mb_IconQuestion = 32, mb_IconWarning = 48, mb_IconInformation = 64;

} // namespace kv

namespace kv {

// The constant groups under their script names, each in its fixed order.
inline constexpr std::array<TkvNamedCode, 5> kModalResultNames = {
    {{"mrNone", mrNone}, {"mrOk", mrOk}, {"mrCancel", mrCancel}, {"mrYes", mrYes}, {"mrNo", mrNo}}};
inline constexpr std::array<TkvNamedCode, 4> kFontStyleNames = {
    {{"fsBold", fsBold}, {"fsItalic", fsItalic}, {"fsUnderline", fsUnderline}, {"fsStrikeOut", fsStrikeOut}}};
inline constexpr std::array<TkvNamedCode, 5> kFrameSideNames = {{{"kvftNone", kvftNone},
                                                                 {"kvftRight", kvftRight},
                                                                 {"kvftBottom", kvftBottom},
                                                                 {"kvftLeft", kvftLeft},
                                                                 {"kvftTop", kvftTop}}};
inline constexpr std::array<TkvNamedCode, 6> kTextAlignmentNames = {{{"kvtaLeft", kvtaLeft},
                                                                     {"kvtaRight", kvtaRight},
                                                                     {"kvtaCenter", kvtaCenter},
                                                                     {"kvtaVertical", kvtaVertical},
                                                                     {"kvtaMiddle", kvtaMiddle},
                                                                     {"kvtaDown", kvtaDown}}};
inline constexpr std::array<TkvNamedCode, 8> kBandAlignmentNames = {{{"baNone", baNone},
                                                                     {"baLeft", baLeft},
                                                                     {"baRight", baRight},
                                                                     {"baCenter", baCenter},
                                                                     {"baWidth", baWidth},
                                                                     {"baBottom", baBottom},
                                                                     {"baTop", baTop},
                                                                     {"baRest", baRest}}};
inline constexpr std::array<TkvNamedCode, 6> kFrameLineStyleNames = {{{"psSolid", psSolid},
                                                                      {"psDash", psDash},
                                                                      {"psDot", psDot},
                                                                      {"psDashDot", psDashDot},
                                                                      {"psDashDotDot", psDashDotDot},
                                                                      {"psDouble", psDouble}}};
inline constexpr std::array<TkvNamedCode, 8> kMessageBoxNames = {{{"mb_Ok", mb_Ok},
                                                                  {"mb_OkCancel", mb_OkCancel},
                                                                  {"mb_YesNo", mb_YesNo},
                                                                  {"mb_YesNoCancel", mb_YesNoCancel},
                                                                  {"mb_IconError", mb_IconError},
                                                                  {"mb_IconQuestion", mb_IconQuestion},
                                                                  {"mb_IconInformation", mb_IconInformation},
                                                                  {"mb_IconWarning", mb_IconWarning}}};

// A font style set in the usual order (bold, italic, underline, strike-out).
struct TkvFontStyleSet {
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    bool operator==(const TkvFontStyleSet&) const = default;
};

// Both look at the four style bits only.
int FontStyleToCode(const TkvFontStyleSet& style);
TkvFontStyleSet CodeToFontStyle(int code);

} // namespace kv
