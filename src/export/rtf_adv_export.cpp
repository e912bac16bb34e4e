#include "export/rtf_adv_export.h"

#include "base/codepage.h"
#include "base/text_util.h"
#include "core/locale.h"
#include "core/report/report.h"
#include "core/views/memo_view.h"
#include "export/export_registry.h"
#include "export/export_run.h"

#include <QDateTime>
#include <QStringDecoder>
#include <algorithm>
#include <map>

namespace {

constexpr char kCrLf[] = "\r\n";
constexpr uint32_t kTransparent = 0x1FFFFFFF;
constexpr double kTwipsPerPageUnit = 1440.0 / 91.6256157635468;

QByteArray Num(qint64 v) {
    return QByteArray::number(v);
}

// Paper sides and margins from a file are bounded (ten metres, a metre of margin) so that their
// twips stay plain numbers.
constexpr int32_t kMaxPaper = 100000;
constexpr int32_t kMaxMargin = 10000;

qint64 Twips(int32_t tenthsOfMillimetre) {
    return kv::RoundEven(tenthsOfMillimetre * 5.67);
}

// A margin of 0 is written as the fallback: a table reaching the paper's edge is cut by printers.
qint64 MarginTwips(int32_t pageUnits, int fallbackTwips) {
    return pageUnits <= 0 ? fallbackTwips : kv::RoundEven(pageUnits * kTwipsPerPageUnit);
}

bool IsBlank(const QByteArray& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c == ' '; });
}

} // namespace

TkvRtfAdvExport::TkvRtfAdvExport() {
    kv::RegisterExportFilter(this, kv::LoadLibraryText(54870), "*.rtf");
}

TkvRtfAdvExport::~TkvRtfAdvExport() = default;

void TkvRtfAdvExport::BeginDocument() {
    matrix_ = std::make_unique<TkvIEMatrix>();
    matrix_->Inaccuracy = 0.5;
    matrix_->RichText = true;
    matrix_->PlainRich = false;
    matrix_->WhiteBackground = true;
    fonts_ = {};
    colors_ = {};
    pages_.clear();
}

void TkvRtfAdvExport::ExportObject(int, int, TkvView& view) {
    if (!matrix_) return;
    if (dynamic_cast<TkvMemoView*>(&view) || ExportPictures) matrix_->AddObject(view);
}

void TkvRtfAdvExport::EndPage() {
    if (!matrix_) return;
    pages_.push_back(CurrentPageSetup());
    matrix_->NewPage();
}

TkvRtfAdvExport::PageSetup TkvRtfAdvExport::CurrentPageSetup() const {
    PageSetup page;
    if (!Report || PageIndex < 0 || PageIndex >= Report->EMFPages.Count()) return page;
    const PreparedPageInfo& info = Report->EMFPages.PageInfo(PageIndex);
    page.Landscape = info.Orientation == 1;
    if (info.PaperWidth > 0 && info.PaperHeight > 0) {
        page.PaperWidth = std::min(info.PaperWidth, kMaxPaper);
        page.PaperHeight = std::min(info.PaperHeight, kMaxPaper);
    } else if (page.Landscape) { // a paper of no size (a damaged file): A4 in the page's orientation
        std::swap(page.PaperWidth, page.PaperHeight);
    }
    const auto margin = [](int32_t v) { return std::clamp(v, 0, kMaxMargin); };
    page.MarginLeft = margin(info.Margins.Left);
    page.MarginTop = margin(info.Margins.Top);
    page.MarginRight = margin(info.Margins.Right);
    page.MarginBottom = margin(info.Margins.Bottom);
    return page;
}

QByteArray TkvRtfAdvExport::SectionWords(const PageSetup& page) {
    QByteArray out = "\\sectd\\sbkpage\\pgwsxn" + Num(Twips(page.PaperWidth)) + "\\pghsxn" +
                     Num(Twips(page.PaperHeight)) + "\\marglsxn" + Num(MarginTwips(page.MarginLeft, 227)) +
                     "\\margrsxn" + Num(MarginTwips(page.MarginRight, 227)) + "\\margtsxn" +
                     Num(MarginTwips(page.MarginTop, 57)) + "\\margbsxn" +
                     Num(MarginTwips(page.MarginBottom, 57));
    if (page.Landscape) out += "\\lndscpsxn";
    return out;
}

void TkvRtfAdvExport::CollectTables() {
    TkvIEMatrix& m = *matrix_;
    for (int r = 0; r < m.RowCount(); ++r) {
        for (int c = 0; c < m.ColCount(); ++c) {
            const int k = m.Cell(c, r);
            if (k < 0) continue;
            TkvIEMObject& o = m.Placement(k).Obj;
            if (o.Marker != 0) continue;
            o.Marker = -1;
            const TkvIEMStyle& s = m.Style(o.StyleIndex);
            colors_.Number(s.FillColor == kTransparent ? 0xFFFFFF : s.FillColor);
            colors_.Number(s.FrameColor);
            if (o.IsRichText) {
                o.TextLines = {RemapRichText(o.TextLines.join("\r\n"), fonts_, colors_)};
            } else if (o.IsText) {
                colors_.Number(s.FontColor);
                fonts_.Number(s.FontName);
            }
        }
    }
}

QByteArray TkvRtfAdvExport::BorderWords(const TkvIEMStyle& s) {
    QByteArray out;
    const QByteArray w = Num(kv::RoundEven(s.FrameWidth * 20));
    static const std::pair<int, const char*> sides[] = {{8, "\\clbrdrt"}, {4, "\\clbrdrl"}, {2, "\\clbrdrb"}, {1, "\\clbrdrr"}};
    for (const auto& [bit, word] : sides)
        if (s.FrameTyp & bit)
            out += QByteArray(word) + "\\brdrs\\brdrw" + w + " \\brdrcf" + Num(colors_.Number(s.FrameColor)) + ' ';
    return out;
}

QByteArray TkvRtfAdvExport::VerticalAlignment(int32_t alignment) {
    // Bits 3 and 4 place the block of lines across their direction; both set keeps it at the top.
    const int32_t block = alignment & (kvta::Middle | kvta::Down);
    return block == kvta::Middle ? "\\clvertalc" : block == kvta::Down ? "\\clvertalb" : "\\clvertalt";
}

QByteArray TkvRtfAdvExport::TextFlow(int32_t alignment) {
    // Rotated text runs bottom to top in its cell; written left to right, a tall narrow cell would
    // wrap it into a column of single letters.
    return (alignment & kvta::Vertical) ? "\\cltxbtlr" : "\\cltxlrtb";
}

QByteArray TkvRtfAdvExport::CellText(TkvIEMObject& o, int h) {
    const TkvIEMStyle& s = matrix_->Style(o.StyleIndex);
    if (o.IsText) {
        QByteArray fmt = "\\f" + Num(fonts_.Number(s.FontName));
        QByteArray text = o.TextLines.join("\r\n");
        if (text.isEmpty())
            fmt += "\\fs" + Num(std::min(h / 16, 20));
        else
            fmt += "\\fs" + Num(qint64(s.FontSize) * 2);
        if (s.FontStyle & 1) fmt += "\\i";
        if (s.FontStyle & 2) fmt += "\\b";
        if (s.FontStyle & 4) fmt += "\\ul";
        fmt += "\\cf" + Num(colors_.Number(s.FontColor));
        if (!o.IsRichText) {
            text.replace('\x01', QByteArray());
            if (text.endsWith("\r\n")) text.chop(2);
            text = kvrtf::EscapeBytes(text, o.Charset, true);
        }
        const QByteArray spacing = IsBlank(text) ? QByteArray() : "\\sl" + Num(qint64(s.FontSize) * 20 + 40);
        // Both bits (justified) would read as right-aligned: justify instead.
        const int h2 = s.Alignment & 3;
        const QByteArray align = h2 == 3 ? "\\qj" : h2 == 1 ? "\\qr" : h2 == 2 ? "\\qc" : "\\ql";
        return align + spacing + "{" + fmt + " " + text + "\\cell}";
    }
    if (ExportPictures && !o.Picture.isNull()) {
        return "{\\sl000 {\\pict\\wmetafile8\\picw" + Num(kv::RoundEven(kv::RoundEven(o.Width) * 25.3)) + "\\pich" +
               Num(kv::RoundEven(kv::RoundEven(o.Height) * 25.3)) + " \\picbmp\\picbpp4" + kCrLf +
               kvrtf::HexMetafile(o.Picture, true) + "030000000000}" + "\\cell}" + kCrLf;
    }
    return "{\\cell}"; // a cell is still needed for every cell definition
}

void TkvRtfAdvExport::EndDocument() {
    if (!matrix_) return;
    TkvIEMatrix& m = *matrix_;
    m.Progress = Progress;
    m.Prepare();
    CollectTables();

    if (pages_.empty()) pages_.push_back(PageSetup{}); // driven without pages: one A4 section
    const PageSetup& first = pages_.front();
    QByteArray head = QByteArray("{\\rtf1\\ansi") + kCrLf;
    head += kvrtf::TableLines("{\\fonttbl", fonts_.Entries(), kCrLf) + kCrLf;
    head += kvrtf::TableLines("{\\colortbl;", colors_.Entries(), kCrLf) + kCrLf;
    const QDateTime now = QDateTime::currentDateTime();
    const QByteArray title = Report ? kvrtf::EscapeBytes(Report->Name, 1) : QByteArray();
    head += "{\\info{\\title " + title + "}{\\author KV Viewer}{\\creatim\\yr" + Num(now.date().year()) + "\\mo" +
            Num(now.date().month()) + "\\dy" + Num(now.date().day()) + "\\hr" + Num(now.time().hour()) + "\\min" +
            Num(now.time().minute()) + "}}" + kCrLf;
    // The document's paper is the first page's, for readers that ignore sections; every page then
    // opens a section with its own paper and orientation.
    head += "\\paperw" + Num(Twips(first.PaperWidth)) + "\\paperh" + Num(Twips(first.PaperHeight)) +
            "\\margl" + Num(MarginTwips(first.MarginLeft, 227)) + "\\margr" +
            Num(MarginTwips(first.MarginRight, 227)) + "\\margt" + Num(MarginTwips(first.MarginTop, 57)) +
            "\\margb" + Num(MarginTwips(first.MarginBottom, 57)) + kCrLf;
    if (first.Landscape) head += QByteArray("\\landscape") + kCrLf;
    head += SectionWords(first) + kCrLf;
    Write(head);

    if (Progress) Progress->StartPhase(QStringLiteral("Please wait ..."), std::max(0, m.RowCount() - 1));
    int pageBreak = 0;
    PageSetup section = first;
    QByteArray out;
    for (int r = 0; r + 1 < m.RowCount(); ++r) {
        if (Progress) Progress->Tick();
        if (Report && Report->CancelRequested) break;
        if (pageBreak < m.PageBreakCount() && m.YPosition(r) >= m.PageBreak(pageBreak)) {
            // Pages without objects add no rows: their breaks fall on the same line.
            while (pageBreak < m.PageBreakCount() && m.YPosition(r) >= m.PageBreak(pageBreak))
                ++pageBreak;
            const PageSetup& next = pages_[std::min(size_t(pageBreak), pages_.size() - 1)];
            // Without page breaks the rows run on, except where the paper changes: a page's rows
            // written on another page's paper would be cut.
            if (PageBreaks || !next.SamePaper(section)) {
                // The break ends a tiny paragraph of its own, and a tiny paragraph opens the new
                // section: LibreOffice keeps a section's paper only when the section holds a
                // paragraph outside a table, and loses a break written inside a group.
                out += "\\pard\\plain\\fs2\\sect" + SectionWords(next) + "\\pard\\plain\\fs2\\par" + kCrLf;
                section = next;
            }
        }
        const int h = std::max(1, kv::RoundEven((m.YPosition(r + 1) - m.YPosition(r)) * ScaleY * 15));
        // Exact heights: rows that grow to fit a reader's line spacing would push the page's last
        // rows, and so the next page's first rows, onto a page of their own.
        QByteArray row = "\\trowd \\trrh-" + Num(h) + "\\trgaph15";
        QByteArray cells;
        for (int c = 0; c < m.ColCount(); ++c) {
            const int k = m.Cell(c, r);
            if (k < 0) continue;
            TkvIEMPlacement& p = m.Placement(k);
            TkvIEMObject& o = p.Obj;
            const TkvIEMStyle& s = m.Style(o.StyleIndex);
            const QByteArray right = Num(kv::RoundEven((o.Left + o.Width) * ScaleX * 15.2));
            if (o.Marker == -1) {
                if (p.RowSpan > 1) row += "\\clvmgf";
                row += "\\clcbpat" + Num(colors_.Number(s.FillColor == kTransparent ? 0xFFFFFF : s.FillColor));
                row += VerticalAlignment(s.Alignment) + BorderWords(s) + TextFlow(s.Alignment) + "\\cellx" + right;
                cells += CellText(o, h);
                o.Marker = r + 1;
            } else if (p.RowSpan > 1 && o.Marker != r + 1) {
                row += "\\clvmrg" + BorderWords(s) + TextFlow(s.Alignment) + "\\cellx" + right;
                cells += "{\\fs" + Num(std::min(h / 16, 20)) + " \\cell}";
                o.Marker = r + 1;
            }
        }
        out += row + "\\pard \\intbl" + kCrLf + cells + kCrLf + "\\pard {\\row}" + kCrLf;
        if (out.size() > (1 << 20)) {
            Write(out);
            out.clear();
        }
    }
    out += '}';
    Write(out);
    matrix_.reset();
    pages_.clear();
}

QByteArray TkvRtfAdvExport::RemapRichText(const QByteArray& rtf, kvrtf::FontTable& fonts, kvrtf::ColorTable& colors) {
    if (!rtf.startsWith("{\\rtf")) return kvrtf::EscapeBytes(rtf, 1, true); // plain text kept in a rich object
    // One pass over the source: groups of the header are dropped (their tables read first), font
    // and colour numbers renumbered, paragraph resets dropped. Characters given as code page bytes
    // (\'hh or raw 8-bit bytes) are written as \uN? in the code page of the font they were set in:
    // the renumbered fonts of the document carry no character set, and the document's own code page
    // is not the source's. Symbol fonts keep their bytes, which are glyph numbers. Depth and length
    // are bounded by the source itself; unbalanced braces are closed or ignored.
    std::vector<int> fontMap, colorMap{0};
    std::map<int, int> fontCharset; // source font number -> its \fcharset
    QByteArray ansiCodec;           // the source's \ansicpg, as a codec name
    int defaultFont = 0;
    QByteArray out;
    qsizetype i = 1; // after the document's opening brace
    const qsizetype n = rtf.size();
    const auto readWordIn = [](const QByteArray& src, qsizetype at, QByteArray& word, QByteArray& param) {
        const qsizetype n = src.size();
        const QByteArray& rtf = src;
        qsizetype j = at + 1;
        while (j < n && std::isalpha(uchar(rtf[j]))) ++j;
        word = rtf.mid(at + 1, j - at - 1);
        qsizetype k = j;
        if (k < n && (rtf[k] == '-' || std::isdigit(uchar(rtf[k])))) {
            ++k;
            while (k < n && k - j < 10 && std::isdigit(uchar(rtf[k])))
                ++k;
        }
        param = rtf.mid(j, k - j);
        return k;
    };
    const auto readWord = [&](qsizetype at, QByteArray& word, QByteArray& param) {
        return readWordIn(rtf, at, word, param);
    };
    const auto groupEnd = [&](qsizetype at) { // index after the group starting at `at`
        int d = 0;
        for (qsizetype j = at; j < n; ++j) {
            if (rtf[j] == '\\') {
                ++j;
                continue;
            }
            if (rtf[j] == '{') ++d;
            if (rtf[j] == '}' && --d == 0) return j + 1;
        }
        return n;
    };
    const auto hexDigit = [](char h) {
        return (h >= '0' && h <= '9')   ? h - '0'
               : (h >= 'a' && h <= 'f') ? h - 'a' + 10
               : (h >= 'A' && h <= 'F') ? h - 'A' + 10
                                        : -1;
    };

    // Character state per group: the source font in effect and how many characters after \uN
    // stand in for it.
    struct State {
        int font = -1; // -1: the default font
        int ucSkip = 1;
    };
    std::vector<State> states{State{}};
    QByteArray pending; // code page bytes not yet written
    int pendingCharset = -1;
    const auto charsetOf = [&](int font) {
        const auto it = fontCharset.find(font >= 0 ? font : defaultFont);
        return it != fontCharset.end() ? it->second : -1;
    };
    const auto flush = [&] {
        if (pending.isEmpty()) return;
        if (pendingCharset == kvcs::Symbol) {
            for (char b : std::as_const(pending)) {
                out += "\\'";
                out += QByteArray(1, b).toHex();
            }
        } else {
            // Fonts of charset 0 and 1 and fonts without one follow the source's \ansicpg, as the
            // rich text reader decodes them.
            QByteArray codec =
                pendingCharset < 0 || pendingCharset == kvcs::Ansi || pendingCharset == kvcs::Default
                    ? ansiCodec
                    : kv::CodecNameForCharset(pendingCharset);
            QStringDecoder decoder(codec.isEmpty() ? "windows-1252" : codec.constData());
            if (!decoder.isValid()) decoder = QStringDecoder("windows-1252");
            out += kvrtf::Escape(decoder.decode(pending));
        }
        pending.clear();
    };
    const auto addByte = [&](uint8_t b) {
        const int charset = charsetOf(states.back().font);
        if (!pending.isEmpty() && charset != pendingCharset) flush();
        pendingCharset = charset;
        pending += char(b);
    };
    int skip = 0; // fallback characters of the last \uN still to drop

    while (i < n) {
        const char ch = rtf[i];
        if (ch == '{') {
            QByteArray word, param;
            qsizetype at = i + 1;
            if (at < n && rtf[at] == '\\') {
                readWord(at, word, param);
                if (word.isEmpty() && at + 1 < n && rtf[at + 1] == '*') word = "*";
            }
            const qsizetype end = groupEnd(i);
            const QByteArray group = rtf.mid(i, end - i);
            if (word == "fonttbl") {
                // Entries {\fN ... name;}
                qsizetype p = 9;
                while ((p = group.indexOf("{\\f", p)) >= 0) {
                    QByteArray w, num;
                    const qsizetype after = readWordIn(group, p + 1, w, num);
                    const qsizetype semi = group.indexOf(';', after);
                    if (w != "f" || num.isEmpty() || semi < 0) break;
                    // The name follows the entry's first space (after its control words).
                    const QByteArray entry = group.mid(after, semi - after);
                    const qsizetype sp = entry.indexOf(' ');
                    const QByteArray name = (sp >= 0 ? entry.mid(sp + 1) : entry).trimmed();
                    const qsizetype cs = entry.indexOf("\\fcharset");
                    const int old = num.toInt();
                    if (old >= 0 && old < 4096) {
                        if (int(fontMap.size()) <= old) fontMap.resize(size_t(old) + 1, 0);
                        const int number = fonts.Number(name.isEmpty() ? QByteArray("Arial") : name);
                        fontMap[size_t(old)] = number;
                        if (cs >= 0 && (sp < 0 || cs < sp)) {
                            QByteArray cw, cv;
                            readWordIn(entry, cs, cw, cv);
                            fontCharset[old] = std::clamp(cv.toInt(), 0, 255);
                            if (fontCharset[old] == kvcs::Symbol) fonts.MarkSymbol(number);
                        }
                    }
                    p = semi;
                }
            } else if (word == "colortbl") {
                const QList<QByteArray> entries = group.mid(10, group.size() - 11).split(';');
                for (qsizetype e = 1; e < entries.size() && colorMap.size() < 4096; ++e) {
                    const QByteArray& en = entries[e];
                    const auto value = [&](const char* w) {
                        const qsizetype at2 = en.indexOf(w);
                        if (at2 < 0) return 0;
                        int v = 0;
                        for (qsizetype d = at2 + qsizetype(strlen(w)); d < en.size() && std::isdigit(uchar(en[d])); ++d)
                            v = std::min(v * 10 + (en[d] - '0'), 255);
                        return v;
                    };
                    if (en.trimmed().isEmpty() && e == entries.size() - 1) break;
                    colorMap.push_back(colors.Number(uint32_t(value("\\red")) | uint32_t(value("\\green")) << 8 |
                                                     uint32_t(value("\\blue")) << 16));
                }
            }
            if (word == "fonttbl" || word == "colortbl" || word == "stylesheet" || word == "info" || word == "*") {
                i = end;
                continue;
            }
            flush();
            skip = 0;
            states.push_back(states.back());
            out += '{';
            ++i;
        } else if (ch == '}') {
            flush();
            skip = 0;
            if (states.size() == 1) break; // the document's closing brace
            states.pop_back();
            out += '}';
            ++i;
        } else if (ch == '\\') {
            if (i + 1 < n && rtf[i + 1] == '\'') { // a code page byte
                int v = 0, got = 0;
                qsizetype j = i + 2;
                for (; got < 2 && j < n && hexDigit(rtf[j]) >= 0; ++got, ++j)
                    v = v * 16 + hexDigit(rtf[j]);
                i = j;
                if (skip > 0) {
                    --skip;
                } else if (got > 0) {
                    addByte(uint8_t(v));
                }
                continue;
            }
            QByteArray word, param;
            const qsizetype next = readWord(i, word, param);
            flush();
            if (word.isEmpty()) { // a control symbol such as \{ or \~
                const qsizetype to = std::min<qsizetype>(next + 1, n);
                if (skip > 0) {
                    --skip;
                } else {
                    out += rtf.mid(i, to - i);
                }
                i = to;
                continue;
            }
            qsizetype after = next;
            if (after < n && rtf[after] == ' ') ++after;
            const int v = param.toInt();
            if (word == "bin") { // raw bytes that belong to the word: skipped
                i = std::min<qsizetype>(after + std::max(0, v), n);
                continue;
            }
            skip = 0;
            if (word == "ansicpg") {
                ansiCodec = v == 866     ? QByteArray("IBM866")
                            : v == 65001 ? QByteArray("UTF-8")
                                         : "windows-" + param;
            } else if (word == "deff") {
                defaultFont = v;
            } else if (word == "uc") {
                states.back().ucSkip = std::clamp(v, 0, 10);
            } else if (word == "u" && !param.isEmpty()) {
                out += "\\u" + QByteArray::number(int(int16_t(uint16_t(v)))) + '?';
                skip = states.back().ucSkip;
            } else if (word == "plain") {
                states.back().font = -1;
                out += rtf.mid(i, after - i);
            } else if (word == "pard" || word == "rtf" || word == "ansi" || word == "viewkind") {
                // dropped: the cell sets its own paragraph and the document its own code page
            } else if (word == "f" && !param.isEmpty()) {
                states.back().font = v;
                out += "\\f" + QByteArray::number(v >= 0 && size_t(v) < fontMap.size() ? fontMap[size_t(v)] : 0) + ' ';
            } else if ((word == "cf" || word == "cb" || word == "highlight") && !param.isEmpty()) {
                out += '\\' + word + QByteArray::number(v >= 0 && size_t(v) < colorMap.size() ? colorMap[size_t(v)] : 0) + ' ';
            } else {
                out += rtf.mid(i, after - i);
            }
            i = after;
        } else if (ch == '\r' || ch == '\n') {
            ++i;
        } else if (skip > 0) {
            --skip;
            ++i;
        } else if (uchar(ch) >= 0x80) { // an unescaped code page byte
            addByte(uchar(ch));
            ++i;
        } else {
            flush();
            out += ch;
            ++i;
        }
    }
    flush();
    for (size_t d = 1; d < states.size(); ++d)
        out += '}';
    // A trailing paragraph end would add an empty line to the cell.
    QByteArray trimmed = out.trimmed();
    if (trimmed.endsWith("\\par")) trimmed.chop(4);
    return trimmed;
}
