#include "richtext/rtf_reader.h"

#include "richtext/rich_formats.h"

#include "base/codepage.h"
#include "graphics/bitmap.h"
#include "graphics/image_limits.h"
#include "graphics/jpeg.h"
#include "graphics/metafile.h"
#include "render/colors.h"
#include "render/painter_canvas.h"

#include <QBuffer>
#include <QImageReader>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QUrl>
#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <vector>

namespace kvrtf {

namespace {

enum class Dest : uint8_t {
    Text,       // body text
    Skip,       // ignored with everything inside
    FontTable,  // {\fonttbl ...}
    FontEntry,  // one {\fN ...;} of the font table
    ColorTable, // {\colortbl ...}
    Picture,    // {\pict ...}
    Object,     // {\object ...}: only its \result is read
};

enum class PictKind : uint8_t { None, Png, Jpeg, Dib, Wmf, Emf, Other };

struct CharProps {
    int font = -1;
    int halfPoints = 24;
    bool bold = false, italic = false, underline = false, strike = false, hidden = false;
    int color = 0;     // colour table index, 0 auto
    int highlight = 0; // colour table index, 0 none
    int vertical = 0;  // 1 superscript, 2 subscript
    bool operator==(const CharProps&) const = default;
};

struct ParaProps {
    int align = 0; // 0 left, 1 centre, 2 right, 3 justify
    int left = 0, right = 0, first = 0, before = 0, after = 0;
    int lineSpacing = 0; // \sl: >0 at least, <0 exactly, 0 single
    bool lineMultiple = false;
    bool inTable = false;
    std::vector<std::pair<int, int>> tabs; // position (twips), kind 0 left 1 centre 2 right
    int pendingTabKind = 0;
};

struct GroupState {
    Dest dest = Dest::Text;
    CharProps chars;
    ParaProps para;
    int ucSkip = 1; // characters after \uN that stand in for readers without Unicode
};

struct Font {
    QString name;
    int charset = kvcs::Default;
    QByteArray nameBytes;
};

struct Picture {
    PictKind kind = PictKind::None;
    int width = 0, height = 0;         // \picw \pich (pixels or himetric for metafiles)
    int goalWidth = 0, goalHeight = 0; // twips
    int scaleX = 100, scaleY = 100;
    QByteArray data;
    int pendingNibble = -1;
};

constexpr int kMaxWordLength = 32;
constexpr uint32_t kAutoColor = 0x1FFFFFFF;

class Reader {
public:
    Reader(QByteArrayView in, QTextDocument& doc, const Limits& limits)
        : in_(in), doc_(doc), limits_(limits), cursor_(&doc) {}

    void Run();

private:
    // --- tokens
    void ControlWord(const QByteArray& word, bool hasParam, int param);
    void ControlSymbol(char c);
    void TextByte(uint8_t b);
    void OpenGroup();
    void CloseGroup();

    // --- output
    void FlushBytes();
    void AppendText(const QString& text);
    void FlushText();
    void EndParagraph(bool lineOnly);
    void InsertPicture();
    QTextCharFormat CharFormat() const;
    QTextBlockFormat BlockFormat() const;
    QStringDecoder& DecoderFor(int charset);
    int CurrentCharset() const;
    void EnterTableCell();
    void LeaveTable();

    GroupState& S() { return stack_.back(); }
    const GroupState& S() const { return stack_.back(); }

    QByteArrayView in_;
    QTextDocument& doc_;
    const Limits& limits_;
    QTextCursor cursor_;
    std::vector<GroupState> stack_;
    int ignoredDepth_ = 0; // groups opened beyond the depth cap
    bool nextIsStarred_ = false;
    int skipChars_ = 0; // fallback characters after \uN still to drop

    QByteArray ansiCodec_;
    std::map<int, Font> fonts_;
    int defaultFont_ = 0;
    std::vector<uint32_t> colors_; // report colours; index 0 auto
    bool colorStarted_ = false;
    int colorEntries_ = 0;
    int red_ = 0, green_ = 0, blue_ = 0;
    std::map<QByteArray, std::unique_ptr<QStringDecoder>> decoders_;

    QByteArray pendingBytes_;
    int pendingBytesCharset_ = kvcs::Default;
    QString pendingText_;
    CharProps pendingProps_;
    qsizetype textChars_ = 0;
    bool textFull_ = false;

    Picture pict_;
    int pictures_ = 0;
    qsizetype pictureBytes_ = 0;

    // Tables: the row being filled, or none.
    QTextTable* table_ = nullptr;
    int tableRow_ = 0, tableCol_ = 0;
    bool rowEnded_ = false;
    bool lastParagraphDone_ = false;
    std::vector<int> cellX_;   // \cellx of the row definition being read
    std::vector<int> rowCellX_; // of the table's first row: column widths
    bool cellBorders_ = false;
};

void Reader::Run() {
    stack_.push_back(GroupState{});
    stack_.back().dest = Dest::Skip; // outside the {\rtf group nothing is text
    ansiCodec_ = kv::DefaultCodePage();
    colors_.push_back(kAutoColor);
    const qsizetype n = in_.size();
    qsizetype i = 0;
    while (i < n) {
        const char c = in_[i];
        if (c == '{') {
            OpenGroup();
            ++i;
        } else if (c == '}') {
            CloseGroup();
            ++i;
            if (stack_.size() == 1 && ignoredDepth_ == 0) break; // the document's group closed
        } else if (c == '\\') {
            ++i;
            if (i >= n) break;
            const char d = in_[i];
            if ((d >= 'a' && d <= 'z') || (d >= 'A' && d <= 'Z')) {
                QByteArray word;
                while (i < n && ((in_[i] >= 'a' && in_[i] <= 'z') || (in_[i] >= 'A' && in_[i] <= 'Z'))) {
                    if (word.size() < kMaxWordLength) word.append(in_[i]);
                    ++i;
                }
                bool hasParam = false, negative = false;
                int64_t value = 0;
                if (i < n && in_[i] == '-' && i + 1 < n && in_[i + 1] >= '0' && in_[i + 1] <= '9') {
                    negative = true;
                    ++i;
                }
                int digits = 0;
                while (i < n && in_[i] >= '0' && in_[i] <= '9') {
                    if (digits < 10) value = value * 10 + (in_[i] - '0');
                    ++digits;
                    hasParam = true;
                    ++i;
                }
                if (i < n && in_[i] == ' ') ++i; // the delimiter belongs to the word
                value = std::clamp<int64_t>(negative ? -value : value, INT32_MIN + 1, INT32_MAX);
                if (word == "bin") {
                    // Raw bytes follow: a picture keeps them, everything else skips them.
                    const qsizetype len = std::clamp<qsizetype>(value, 0, n - i);
                    if (ignoredDepth_ == 0 && S().dest == Dest::Picture &&
                        pict_.data.size() + len <= limits_.maxPictureBytes)
                        pict_.data.append(in_.data() + i, len);
                    i += len;
                    continue;
                }
                if (ignoredDepth_ == 0) ControlWord(word, hasParam, int(value));
                nextIsStarred_ = false;
            } else if (d == '\'') {
                ++i;
                int v = 0, got = 0;
                while (got < 2 && i < n) {
                    const char h = in_[i];
                    const int x = (h >= '0' && h <= '9')   ? h - '0'
                                  : (h >= 'a' && h <= 'f') ? h - 'a' + 10
                                  : (h >= 'A' && h <= 'F') ? h - 'A' + 10
                                                           : -1;
                    if (x < 0) break;
                    v = v * 16 + x;
                    ++got;
                    ++i;
                }
                if (got > 0 && ignoredDepth_ == 0) TextByte(uint8_t(v));
            } else {
                ++i;
                if (ignoredDepth_ == 0) ControlSymbol(d);
            }
        } else if (c == '\r' || c == '\n') {
            ++i;
        } else {
            if (ignoredDepth_ == 0) TextByte(uint8_t(c));
            ++i;
        }
    }
    // A document cut short: close what is open so its text still counts.
    while (stack_.size() > 1)
        CloseGroup();
    FlushText();
    LeaveTable();
    if (!lastParagraphDone_) cursor_.setBlockFormat(BlockFormat());
    // A final \par leaves an empty paragraph that the text itself does not have.
    QTextBlock last = doc_.lastBlock();
    if (doc_.blockCount() > 1 && last.length() == 1 && !cursor_.currentTable()) {
        QTextCursor c(&doc_);
        c.movePosition(QTextCursor::End);
        c.deletePreviousChar();
    }
}

void Reader::OpenGroup() {
    if (ignoredDepth_ > 0 || int(stack_.size()) > limits_.maxGroupDepth) {
        ++ignoredDepth_;
        return;
    }
    FlushBytes();
    GroupState next = S();
    if (next.dest == Dest::FontEntry) next.dest = Dest::Skip; // nested groups of a font entry
    if (next.dest == Dest::FontTable) next.dest = Dest::FontEntry;
    stack_.push_back(std::move(next));
    nextIsStarred_ = false;
}

void Reader::CloseGroup() {
    if (ignoredDepth_ > 0) {
        --ignoredDepth_;
        return;
    }
    if (stack_.size() <= 1) return;
    FlushBytes();
    const Dest closing = S().dest;
    if (stack_.size() == 2 && closing == Dest::Text) {
        // The document's group ends: its last paragraph takes the formatting in effect there.
        FlushText();
        if (!table_) cursor_.setBlockFormat(BlockFormat());
        lastParagraphDone_ = true;
    }
    stack_.pop_back();
    skipChars_ = 0;
    if (closing == Dest::Picture && S().dest != Dest::Picture) InsertPicture();
}

int Reader::CurrentCharset() const {
    const auto it = fonts_.find(S().chars.font >= 0 ? S().chars.font : defaultFont_);
    return it != fonts_.end() ? it->second.charset : -1;
}

QStringDecoder& Reader::DecoderFor(int charset) {
    // Fonts of charset 0 and 1 and fonts without one follow the document's \ansicpg.
    QByteArray name = charset < 0 || charset == kvcs::Ansi || charset == kvcs::Default
                          ? ansiCodec_
                          : kv::CodecNameForCharset(charset);
    if (charset == kvcs::Ansi && ansiCodec_.isEmpty()) name = "windows-1252";
    auto& d = decoders_[name];
    if (!d) {
        d = std::make_unique<QStringDecoder>(name.constData());
        if (!d->isValid()) d = std::make_unique<QStringDecoder>("windows-1252");
    }
    return *d;
}

void Reader::FlushBytes() {
    if (pendingBytes_.isEmpty()) return;
    QStringDecoder& d = DecoderFor(pendingBytesCharset_);
    d.resetState();
    QString text = d.decode(pendingBytes_);
    pendingBytes_.clear();
    const Dest dest = S().dest;
    if (dest == Dest::FontEntry) {
        // Text of a font entry is its name.
        return;
    }
    if (dest == Dest::Text) AppendText(text);
}

void Reader::TextByte(uint8_t b) {
    GroupState& s = S();
    if (s.dest == Dest::Skip || s.dest == Dest::Object) return;
    if (s.dest == Dest::Picture) {
        const int x = (b >= '0' && b <= '9') ? b - '0' : (b >= 'a' && b <= 'f') ? b - 'a' + 10
                                                     : (b >= 'A' && b <= 'F') ? b - 'A' + 10
                                                                               : -1;
        if (x < 0) return;
        if (pict_.pendingNibble < 0) {
            pict_.pendingNibble = x;
        } else {
            if (pict_.data.size() < limits_.maxPictureBytes) pict_.data.append(char(pict_.pendingNibble * 16 + x));
            pict_.pendingNibble = -1;
        }
        return;
    }
    if (s.dest == Dest::ColorTable) {
        if (b == ';') {
            // An entry without colour words is the automatic colour (usually only the first).
            const uint32_t color = colorStarted_ ? uint32_t(red_) | uint32_t(green_) << 8 | uint32_t(blue_) << 16
                                                 : kAutoColor;
            if (colorEntries_ == 0)
                colors_[0] = color;
            else if (int(colors_.size()) < limits_.maxColors)
                colors_.push_back(color);
            ++colorEntries_;
            colorStarted_ = false;
            red_ = green_ = blue_ = 0;
        }
        return;
    }
    if (s.dest == Dest::FontEntry || s.dest == Dest::FontTable) {
        const int idx = s.chars.font;
        if (idx < 0 || int(fonts_.size()) > limits_.maxFonts) return;
        Font& f = fonts_[idx];
        if (b == ';') {
            QStringDecoder& d = DecoderFor(f.charset);
            d.resetState();
            f.name = QString(d.decode(f.nameBytes)).trimmed();
            f.nameBytes.clear();
        } else if (f.nameBytes.size() < 256) {
            f.nameBytes.append(char(b));
        }
        return;
    }
    if (skipChars_ > 0) {
        --skipChars_;
        return;
    }
    if (s.chars.hidden) return;
    const int charset = CurrentCharset();
    if (!pendingBytes_.isEmpty() && charset != pendingBytesCharset_) FlushBytes();
    pendingBytesCharset_ = charset;
    if (pendingBytes_.size() < 4096)
        pendingBytes_.append(char(b));
    else {
        FlushBytes();
        pendingBytes_.append(char(b));
    }
}

void Reader::AppendText(const QString& text) {
    if (text.isEmpty() || textFull_) return;
    if (S().chars.hidden) return;
    if (textChars_ + text.size() > limits_.maxTextChars) {
        textFull_ = true;
        return;
    }
    if (!(pendingProps_ == S().chars) && !pendingText_.isEmpty()) FlushText();
    if (S().para.inTable || table_) EnterTableCell();
    pendingProps_ = S().chars;
    pendingText_ += text;
    textChars_ += text.size();
}

QTextCharFormat Reader::CharFormat() const {
    const CharProps& p = pendingProps_;
    QTextCharFormat f;
    const auto it = fonts_.find(p.font >= 0 ? p.font : defaultFont_);
    QString family = it != fonts_.end() && !it->second.name.isEmpty() ? it->second.name : QStringLiteral("Arial");
    f.setFontFamilies({family});
    f.setProperty(kvrich::CharsetProperty, it != fonts_.end() ? it->second.charset : kvcs::Default);
    f.setFontPointSize(std::clamp(p.halfPoints, 2, 3276) / 2.0);
    f.setFontWeight(p.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(p.italic);
    f.setFontUnderline(p.underline);
    f.setFontStrikeOut(p.strike);
    if (p.color > 0 && p.color < int(colors_.size()) && colors_[p.color] != kAutoColor)
        f.setForeground(kv::ColorToQColor(colors_[p.color]));
    if (p.highlight > 0 && p.highlight < int(colors_.size()) && colors_[p.highlight] != kAutoColor)
        f.setBackground(kv::ColorToQColor(colors_[p.highlight]));
    if (p.vertical == 1) f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    if (p.vertical == 2) f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    return f;
}

QTextBlockFormat Reader::BlockFormat() const {
    const ParaProps& p = S().para;
    QTextBlockFormat f;
    static constexpr Qt::Alignment aligns[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify};
    f.setAlignment(aligns[std::clamp(p.align, 0, 3)] | Qt::AlignAbsolute);
    constexpr int kMaxIndent = 31680; // 22 inches
    const int left = std::clamp(p.left, -kMaxIndent, kMaxIndent);
    const int first = std::clamp(p.first, -kMaxIndent, kMaxIndent);
    // A hanging first line may not start left of the text area.
    f.setLeftMargin(std::max(0, left));
    f.setTextIndent(std::max(-std::max(0, left), first));
    f.setRightMargin(std::clamp(p.right, 0, kMaxIndent));
    f.setTopMargin(std::clamp(p.before, 0, kMaxIndent) / kvrich::kScaled);
    f.setBottomMargin(std::clamp(p.after, 0, kMaxIndent) / kvrich::kScaled);
    if (p.lineSpacing != 0) {
        const int sl = std::clamp(std::abs(p.lineSpacing), 1, kMaxIndent);
        if (p.lineMultiple)
            f.setLineHeight(sl * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
        else if (p.lineSpacing < 0)
            f.setLineHeight(sl / kvrich::kScaled, QTextBlockFormat::FixedHeight);
        else
            f.setLineHeight(sl / kvrich::kScaled, QTextBlockFormat::MinimumHeight);
    }
    QList<QTextOption::Tab> tabs;
    // A hanging indent has a tab stop at the left indent, where the text after a bullet goes.
    // Qt counts tab stops from where the line starts, RTF from the text area's left edge: stops are
    // converted for the first line, where tabs are used (bullets, columns of a line).
    const int firstLineStart = std::max(0, left) + std::max(-std::max(0, left), first);
    if (first < 0 && left > 0) tabs.append(QTextOption::Tab(-first / kvrich::kScaled, QTextOption::LeftTab));
    for (const auto& [pos, kind] : p.tabs) {
        const double x = (pos - firstLineStart) / kvrich::kScaled;
        if (x <= 0) continue;
        tabs.append(QTextOption::Tab(x, kind == 2   ? QTextOption::RightTab
                                        : kind == 1 ? QTextOption::CenterTab
                                                    : QTextOption::LeftTab));
    }
    if (!tabs.isEmpty()) f.setTabPositions(tabs);
    return f;
}

void Reader::FlushText() {
    FlushBytes();
    if (pendingText_.isEmpty()) return;
    cursor_.insertText(pendingText_, CharFormat());
    pendingText_.clear();
}

void Reader::EnterTableCell() {
    if (!S().para.inTable) {
        LeaveTable();
        return;
    }
    if (table_ && !rowEnded_) return;
    if (table_ && rowEnded_) {
        if (tableRow_ + 1 < limits_.maxTableRows && (tableRow_ + 2) * table_->columns() <= limits_.maxTableCells) {
            table_->appendRows(1);
            ++tableRow_;
        }
        tableCol_ = 0;
        rowEnded_ = false;
        cursor_ = table_->cellAt(tableRow_, 0).firstCursorPosition();
        return;
    }
    // A new table: the columns of the row definition read so far.
    FlushText();
    std::vector<int> xs = cellX_.empty() ? std::vector<int>{1440 * 2} : cellX_;
    const int columns = std::clamp(int(xs.size()), 1, limits_.maxTableColumns);
    QTextTableFormat tf;
    tf.setBorder(0);
    tf.setCellSpacing(0);
    tf.setCellPadding(60 / kvrich::kScaled);
    tf.setMargin(0);
    QList<QTextLength> widths;
    int prev = 0;
    for (int c = 0; c < columns; ++c) {
        const int w = std::clamp(xs[c] - prev, 60, 31680);
        widths.append(QTextLength(QTextLength::FixedLength, w / kvrich::kScaled));
        prev = std::max(prev, xs[c]);
    }
    tf.setColumnWidthConstraints(widths);
    tf.setProperty(kvrich::TableBordersProperty, cellBorders_);
    // A table opened in an empty paragraph takes that paragraph's place.
    if (cursor_.block().length() == 1 && cursor_.position() > 0 && !cursor_.currentTable() &&
        !cursor_.block().previous().text().isEmpty())
        cursor_.deletePreviousChar();
    table_ = cursor_.insertTable(1, columns, tf);
    tableRow_ = tableCol_ = 0;
    rowEnded_ = false;
    cursor_ = table_->cellAt(0, 0).firstCursorPosition();
}

void Reader::LeaveTable() {
    if (!table_) return;
    cursor_ = table_->lastCursorPosition();
    cursor_.movePosition(QTextCursor::NextBlock);
    table_ = nullptr;
    rowEnded_ = false;
}

void Reader::EndParagraph(bool lineOnly) {
    if (S().dest != Dest::Text || textFull_) return;
    FlushBytes();
    if (lineOnly) {
        AppendText(QString(QChar::LineSeparator));
        return;
    }
    FlushText();
    if (S().para.inTable || table_) EnterTableCell();
    cursor_.setBlockFormat(BlockFormat());
    cursor_.insertBlock(BlockFormat(), CharFormat());
    ++textChars_;
}

void Reader::InsertPicture() {
    Picture p = std::move(pict_);
    pict_ = Picture{};
    if (S().dest != Dest::Text || p.kind == PictKind::None || p.kind == PictKind::Other || p.data.isEmpty())
        return;
    if (pictures_ >= limits_.maxPictures || pictureBytes_ + p.data.size() > limits_.maxTotalPictureBytes) return;
    QImage image;
    QSize natural; // pixels at 96 dpi
    switch (p.kind) {
    case PictKind::Png: {
        QBuffer buffer(&p.data);
        QImageReader reader(&buffer, "png");
        const QSize size = reader.size();
        if (!size.isValid() || !kv::ImageSizeAllowed(size.width(), size.height())) return;
        image = reader.read();
        natural = image.size();
        break;
    }
    case PictKind::Jpeg:
        image = kv::DecodeJpeg(p.data);
        natural = image.size();
        break;
    case PictKind::Dib:
        image = kv::DecodeDib(p.data);
        natural = image.size();
        break;
    case PictKind::Wmf:
    case PictKind::Emf: {
        TkvMetafile mf(p.data);
        if (!mf.IsValid()) return;
        // \picw/\pich of a metafile are hundredths of a millimetre.
        natural = p.width > 0 && p.height > 0 ? QSize(int(p.width * 96 / 2540.0), int(p.height * 96 / 2540.0))
                                              : mf.SizeHint();
        if (natural.isEmpty()) natural = QSize(96, 96);
        break;
    }
    default:
        return;
    }
    if (natural.isEmpty() || (image.isNull() && p.kind != PictKind::Wmf && p.kind != PictKind::Emf)) return;
    double w = p.goalWidth > 0 ? p.goalWidth : natural.width() * 15.0;
    double h = p.goalHeight > 0 ? p.goalHeight : natural.height() * 15.0;
    w = std::clamp(w * std::clamp(p.scaleX, 1, 1000) / 100.0, 15.0, 31680.0);
    h = std::clamp(h * std::clamp(p.scaleY, 1, 1000) / 100.0, 15.0, 31680.0);
    if (image.isNull()) {
        // The editor shows metafiles as images drawn at screen resolution.
        const int iw = std::max(1, int(w / 15)), ih = std::max(1, int(h / 15));
        if (!kv::ImageSizeAllowed(iw, ih)) return;
        image = QImage(iw, ih, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        TkvPainterCanvas canvas(&image);
        TkvMetafile(p.data).Play(canvas, QRect(0, 0, iw, ih));
    }
    static constexpr const char* kinds[] = {"", "png", "jpeg", "dib", "wmf", "emf", ""};
    const QUrl url(QStringLiteral("%1:%2/%3").arg(kPictureScheme, kinds[int(p.kind)]).arg(pictures_));
    ++pictures_;
    pictureBytes_ += p.data.size();
    doc_.addResource(QTextDocument::ImageResource, url, image);
    doc_.addResource(QTextDocument::UserResource, PictureBytesUrl(url), p.data);
    FlushText();
    if (S().para.inTable || table_) EnterTableCell();
    QTextImageFormat f;
    f.setName(url.toString());
    f.setWidth(w / kvrich::kScaled);
    f.setHeight(h / kvrich::kScaled);
    cursor_.insertImage(f);
    ++textChars_;
}

void Reader::ControlSymbol(char c) {
    GroupState& s = S();
    if (c == '*') {
        nextIsStarred_ = true;
        return;
    }
    if (s.dest != Dest::Text && !(s.dest == Dest::FontEntry && (c == '\\' || c == '{' || c == '}'))) {
        if (c == '\\' || c == '{' || c == '}') TextByte(uint8_t(c));
        return;
    }
    switch (c) {
    case '\\':
    case '{':
    case '}':
        TextByte(uint8_t(c));
        break;
    case '~':
        FlushBytes();
        AppendText(QString(QChar(0x00A0)));
        break;
    case '_':
        FlushBytes();
        AppendText(QString(QChar(0x2011)));
        break;
    case '-':
        break; // optional hyphen
    case '\n':
    case '\r':
        EndParagraph(false);
        break;
    case '\t':
        FlushBytes();
        AppendText(QStringLiteral("\t"));
        break;
    default:
        break;
    }
}

// Destinations whose content is never shown.
bool IsSkippedDestination(const QByteArray& w) {
    static const char* const names[] = {
        "stylesheet", "info",     "header",     "headerl",   "headerr",  "headerf",     "footer",
        "footerl",    "footerr",  "footerf",    "footnote",  "annotation", "atnid",     "atnauthor",
        "pn",         "pntxta",   "pntxtb",     "fldinst",   "listtable", "listoverridetable", "rsidtbl",
        "generator",  "xmlnsstbl", "themedata", "colorschememapping", "latentstyles", "datastore",
        "nonshppict", "shp",      "filetbl",    "revtbl",    "private",  "template",    "userprops",
        "ftnsep",     "ftnsepc",  "ftncn",      "aftnsep",   "aftnsepc", "aftncn",      "objdata",
        "objclass",   "objname",  "mmathPr",    "bkmkstart", "bkmkend",  "xe",          "tc",
        "txe",        "fldtype",  "datafield",  "formfield", "pgdsctbl", "do",          "comment",
        "title",      "subject",  "author",     "operator",  "keywords", "company",     "doccomm",
        "listpicture", "leveltext", "levelnumbers", "upr",   "ud" /* ud: Unicode copy of upr */};
    for (const char* n : names)
        if (w == n) return true;
    return false;
}

void Reader::ControlWord(const QByteArray& w, bool hasParam, int v) {
    GroupState& s = S();
    const bool starred = nextIsStarred_;
    nextIsStarred_ = false;
    const bool on = !hasParam || v != 0;

    // Destinations first: they change what the rest of the group means.
    if (w == "rtf") {
        if (stack_.size() == 2) s.dest = Dest::Text;
        return;
    }
    if (s.dest == Dest::Skip) return;
    if (w == "fonttbl") {
        FlushText();
        s.dest = Dest::FontTable;
        return;
    }
    if (w == "colortbl") {
        FlushText();
        s.dest = Dest::ColorTable;
        return;
    }
    if (w == "pict") {
        FlushText();
        if (s.dest == Dest::Text || s.dest == Dest::Object) {
            s.dest = Dest::Picture;
            pict_ = Picture{};
        } else {
            s.dest = Dest::Skip;
        }
        return;
    }
    if (w == "object") {
        s.dest = Dest::Object;
        return;
    }
    if (w == "result" && s.dest == Dest::Object) {
        s.dest = Dest::Text;
        return;
    }
    if (w == "shppict" || w == "fldrslt" || w == "pntext" || w == "listtext") {
        // Text and pictures that readers show: read normally (bullets as their characters).
        return;
    }
    if (IsSkippedDestination(w) || starred) {
        FlushText();
        s.dest = Dest::Skip;
        return;
    }

    if (s.dest == Dest::ColorTable) {
        colorStarted_ = true;
        if (w == "red") red_ = std::clamp(v, 0, 255);
        if (w == "green") green_ = std::clamp(v, 0, 255);
        if (w == "blue") blue_ = std::clamp(v, 0, 255);
        return;
    }
    if (s.dest == Dest::FontTable || s.dest == Dest::FontEntry) {
        if (w == "f" && hasParam) {
            s.chars.font = v;
            if (int(fonts_.size()) < limits_.maxFonts) fonts_[v];
        } else if (w == "fcharset" && s.chars.font >= 0) {
            auto it = fonts_.find(s.chars.font);
            if (it != fonts_.end()) it->second.charset = v;
        }
        return;
    }
    if (s.dest == Dest::Picture) {
        if (w == "pngblip") pict_.kind = PictKind::Png;
        else if (w == "jpegblip") pict_.kind = PictKind::Jpeg;
        else if (w == "dibitmap") pict_.kind = PictKind::Dib;
        else if (w == "wmetafile") pict_.kind = PictKind::Wmf;
        else if (w == "emfblip") pict_.kind = PictKind::Emf;
        else if (w == "wbitmap" || w == "macpict" || w == "pmmetafile") pict_.kind = PictKind::Other;
        else if (w == "picw") pict_.width = v;
        else if (w == "pich") pict_.height = v;
        else if (w == "picwgoal") pict_.goalWidth = v;
        else if (w == "pichgoal") pict_.goalHeight = v;
        else if (w == "picscalex") pict_.scaleX = v;
        else if (w == "picscaley") pict_.scaleY = v;
        return;
    }
    if (s.dest == Dest::Object) return;

    // Document-level.
    if (w == "ansicpg") {
        const QByteArray name = "windows-" + QByteArray::number(v);
        if (QStringDecoder(name.constData()).isValid()) ansiCodec_ = name;
        if (v == 866) ansiCodec_ = "IBM866";
        if (v == 65001) ansiCodec_ = "UTF-8";
        return;
    }
    if (w == "deff") {
        defaultFont_ = v;
        return;
    }
    if (w == "uc") {
        s.ucSkip = std::clamp(v, 0, 10);
        return;
    }
    if (w == "u") {
        FlushBytes();
        const int code = v < 0 ? v + 65536 : v;
        if (code > 0 && code < 65536) AppendText(QString(QChar(char16_t(code))));
        skipChars_ = s.ucSkip;
        return;
    }
    skipChars_ = 0;

    // Characters.
    if (w == "par" || w == "sect" || w == "page") return EndParagraph(false);
    if (w == "line") return EndParagraph(true);
    if (w == "tab") {
        FlushBytes();
        return AppendText(QStringLiteral("\t"));
    }
    struct Named {
        const char* word;
        char16_t ch;
    };
    static constexpr Named named[] = {{"emdash", 0x2014},    {"endash", 0x2013},    {"bullet", 0x2022},
                                      {"lquote", 0x2018},    {"rquote", 0x2019},    {"ldblquote", 0x201C},
                                      {"rdblquote", 0x201D}, {"emspace", 0x2003},   {"enspace", 0x2002},
                                      {"qmspace", 0x2005},   {"zwj", 0x200D},       {"zwnj", 0x200C}};
    for (const Named& n : named) {
        if (w == n.word) {
            FlushBytes();
            return AppendText(QString(QChar(n.ch)));
        }
    }

    // Character formatting.
    FlushBytes();
    CharProps& c = s.chars;
    if (w == "plain") c = CharProps{};
    else if (w == "f") c.font = v;
    else if (w == "fs") c.halfPoints = hasParam ? std::clamp(v, 2, 3276) : 24;
    else if (w == "b") c.bold = on;
    else if (w == "i") c.italic = on;
    else if (w == "ul" || w == "uld" || w == "uldb" || w == "ulw" || w == "uldash" || w == "ulth" ||
             w == "ulwave" || w == "uldashd" || w == "uldashdd")
        c.underline = on;
    else if (w == "ulnone") c.underline = false;
    else if (w == "strike" || w == "striked") c.strike = on;
    else if (w == "v") c.hidden = on;
    else if (w == "cf") c.color = v;
    else if (w == "highlight" || w == "cb" || w == "chcbpat") c.highlight = v;
    else if (w == "super") c.vertical = on ? 1 : 0;
    else if (w == "sub") c.vertical = on ? 2 : 0;
    else if (w == "nosupersub") c.vertical = 0;
    // Paragraph formatting.
    else if (w == "pard") {
        const bool keepTable = false;
        s.para = ParaProps{};
        s.para.inTable = keepTable;
    } else if (w == "ql") s.para.align = 0;
    else if (w == "qc") s.para.align = 1;
    else if (w == "qr") s.para.align = 2;
    else if (w == "qj" || w == "qd") s.para.align = 3;
    else if (w == "li") s.para.left = v;
    else if (w == "ri") s.para.right = v;
    else if (w == "fi") s.para.first = v;
    else if (w == "sb") s.para.before = v;
    else if (w == "sa") s.para.after = v;
    else if (w == "sl") s.para.lineSpacing = v;
    else if (w == "slmult") s.para.lineMultiple = v != 0;
    else if (w == "tqr") s.para.pendingTabKind = 2;
    else if (w == "tqc") s.para.pendingTabKind = 1;
    else if (w == "tx" || w == "tb") {
        if (s.para.tabs.size() < 64) s.para.tabs.emplace_back(v, s.para.pendingTabKind);
        s.para.pendingTabKind = 0;
    }
    // Tables.
    else if (w == "intbl") s.para.inTable = true;
    else if (w == "trowd") {
        cellX_.clear();
        cellBorders_ = false;
    } else if (w == "cellx") {
        if (int(cellX_.size()) < limits_.maxTableColumns) cellX_.push_back(v);
    } else if (w.startsWith("clbrdr") || w.startsWith("trbrdr")) {
        cellBorders_ = true;
    } else if (w == "cell" || w == "nestcell") {
        FlushText();
        s.para.inTable = true;
        EnterTableCell();
        cursor_.setBlockFormat(BlockFormat());
        if (table_ && tableCol_ + 1 < table_->columns()) {
            ++tableCol_;
            cursor_ = table_->cellAt(tableRow_, tableCol_).firstCursorPosition();
        }
    } else if (w == "row" || w == "nestrow") {
        FlushText();
        if (table_) rowEnded_ = true;
    }
}

} // namespace

QUrl PictureBytesUrl(const QUrl& picture) {
    QUrl bytes(picture);
    bytes.setFragment(QStringLiteral("bytes"));
    return bytes;
}

bool LooksLikeRtf(QByteArrayView bytes) {
    qsizetype i = 0;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\r' || bytes[i] == '\n' || bytes[i] == '\t'))
        ++i;
    return bytes.sliced(i).startsWith("{\\rtf");
}

bool ReadRtf(QByteArrayView rtf, QTextDocument& document, const Limits& limits) {
    document.clear();
    const bool isRtf = LooksLikeRtf(rtf);
    if (!isRtf) {
        QString text = kv::DecodeText(rtf.first(std::min(rtf.size(), limits.maxTextChars)).toByteArray(), kvcs::Default);
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QTextCursor c(&document);
        c.insertText(text, kvrich::DefaultCharFormat());
    } else {
        Reader reader(rtf, document, limits);
        reader.Run();
    }
    kvrich::PrepareDocument(document);
    return isRtf;
}

} // namespace kvrtf
