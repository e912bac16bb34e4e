#include "richtext/rich_text.h"

#include "richtext/rich_formats.h"
#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"

#include "base/codepage.h"
#include "graphics/metafile.h"
#include "render/canvas.h"
#include "render/colors.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextTable>
#include <QUrl>
#include <cmath>

namespace {

bool IsDrawable(QChar c) {
    const char16_t u = c.unicode();
    return u >= 0x20 && u != QChar::LineSeparator && u != QChar::ParagraphSeparator &&
           u != QChar::ObjectReplacementCharacter && !(u >= 0xFDD0 && u <= 0xFDEF);
}

// Maps the document's twips onto the target rectangle.
struct Mapping {
    QPointF origin; // device position of twips (0, y0)
    double y0 = 0;
    double sx = 1, sy = 1;
    double X(double twips) const { return origin.x() + twips * sx; }
    double Y(double twips) const { return origin.y() + (twips - y0) * sy; }
};

// The position of a block's layout in document coordinates.
QPointF BlockOrigin(const QTextDocument& doc, const QTextBlock& block) {
    const QRectF r = doc.documentLayout()->blockBoundingRect(block);
    return r.topLeft() - block.layout()->boundingRect().topLeft();
}

void DrawPicture(TkvCanvas& canvas, const QTextDocument& doc, const QTextImageFormat& f, const QRect& rect) {
    const QUrl url(f.name());
    const QString kind = url.path().section('/', 0, 0);
    if (kind == QLatin1String("wmf") || kind == QLatin1String("emf")) {
        const TkvMetafile metafile(doc.resource(QTextDocument::UserResource, kvrtf::PictureBytesUrl(url)).toByteArray());
        if (metafile.IsValid()) {
            metafile.Play(canvas, rect);
            return;
        }
    }
    const QImage image = doc.resource(QTextDocument::ImageResource, url).value<QImage>();
    if (!image.isNull()) canvas.DrawImage(rect, image, true);
}

void DrawLine(TkvCanvas& canvas, const QTextDocument& doc, const QTextBlock& block, const QTextLine& line,
              const Mapping& m) {
    const QPointF origin = BlockOrigin(doc, block);
    const int lineStart = line.textStart(), lineEnd = line.textStart() + line.textLength();
    const QString text = block.text();
    const double lineTop = origin.y() + line.y();
    const double baseline = lineTop + line.ascent();
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        const int fs = frag.position() - block.position(), fe = fs + frag.length();
        const int s = std::max(fs, lineStart), e = std::min(fe, lineEnd);
        if (s >= e) continue;
        const QTextCharFormat fmt = frag.charFormat();
        if (fmt.isImageFormat()) {
            const QTextImageFormat img = fmt.toImageFormat();
            for (int p = s; p < e; ++p) {
                const double x = origin.x() + line.cursorToX(p);
                const double w = img.width() * kvrich::kScaled, h = img.height() * kvrich::kScaled;
                const QRectF tw(x, baseline - h, w, h);
                const QRect dev(QPoint(int(std::lround(m.X(tw.left()))), int(std::lround(m.Y(tw.top())))),
                                QPoint(int(std::lround(m.X(tw.right()))) - 1, int(std::lround(m.Y(tw.bottom()))) - 1));
                if (dev.isValid()) DrawPicture(canvas, doc, img, dev);
            }
            continue;
        }
        std::vector<int> xs(size_t(e - s + 1));
        for (int p = s; p <= e; ++p)
            xs[size_t(p - s)] = int(std::lround(m.X(origin.x() + line.cursorToX(p))));
        if (fmt.background().style() != Qt::NoBrush) {
            TkvBrush brush;
            brush.color = kv::QColorToColor(fmt.background().color());
            canvas.SetBrush(brush);
            const int top = int(std::lround(m.Y(lineTop))), bottom = int(std::lround(m.Y(lineTop + line.height())));
            canvas.FillRect(QRect(QPoint(xs.front(), top), QPoint(xs.back() - 1, bottom - 1)));
        }
        TkvFont font;
        const QStringList families = fmt.fontFamilies().toStringList();
        font.name = families.isEmpty() ? doc.defaultFont().family() : families.first();
        const double pt = fmt.fontPointSize() > 0 ? fmt.fontPointSize() : doc.defaultFont().pointSizeF();
        double em = pt * 20;
        double shift = 0;
        if (fmt.verticalAlignment() == QTextCharFormat::AlignSuperScript) shift = -em / 3, em = em * 2 / 3;
        if (fmt.verticalAlignment() == QTextCharFormat::AlignSubScript) shift = em / 6, em = em * 2 / 3;
        font.height = -std::max(1, int(std::lround(em * m.sy)));
        font.pointSize = int(std::lround(pt));
        font.style = (fmt.fontItalic() ? 1 : 0) | (fmt.fontWeight() >= QFont::DemiBold ? 2 : 0) |
                     (fmt.fontUnderline() ? 4 : 0) | (fmt.fontStrikeOut() ? 8 : 0);
        font.color = fmt.foreground().style() != Qt::NoBrush ? kv::QColorToColor(fmt.foreground().color()) : 0;
        font.charset = kvcs::Default;
        canvas.SetFont(font);
        const int top = int(std::lround(m.Y(baseline + shift))) - canvas.TextMetrics().ascent;
        int a = s;
        while (a < e) {
            while (a < e && !IsDrawable(text[a]))
                ++a;
            int b = a;
            while (b < e && IsDrawable(text[b]))
                ++b;
            if (b > a) {
                QVector<int> advances(b - a);
                for (int p = a; p < b; ++p)
                    advances[p - a] = xs[size_t(p + 1 - s)] - xs[size_t(p - s)];
                canvas.TextOut(QPoint(xs[size_t(a - s)], top), text.mid(a, b - a), nullptr, &advances);
            }
            a = b;
        }
    }
}

// The blocks of a table cell.
template <typename F> void ForEachCellBlock(const QTextTableCell& cell, F f) {
    QTextBlock b = cell.firstCursorPosition().block();
    const int end = cell.lastPosition();
    while (b.isValid() && b.position() <= end) {
        f(b);
        b = b.next();
    }
}

void DrawTable(TkvCanvas& canvas, const QTextDocument& doc, const QTextTable& table, const Mapping& m) {
    const QRectF box = doc.documentLayout()->frameBoundingRect(const_cast<QTextTable*>(&table));
    for (int r = 0; r < table.rows(); ++r)
        for (int c = 0; c < table.columns(); ++c)
            ForEachCellBlock(table.cellAt(r, c), [&](const QTextBlock& b) {
                const QTextLayout* tl = b.layout();
                for (int i = 0; i < tl->lineCount(); ++i)
                    DrawLine(canvas, doc, b, tl->lineAt(i), m);
            });
    if (!table.format().property(kvrich::TableBordersProperty).toBool()) return;
    // Cell edges: columns from the cells' text positions, rows from the tallest cell.
    const double pad = table.format().cellPadding() * kvrich::kScaled;
    std::vector<double> xs, ys;
    for (int c = 0; c < table.columns(); ++c)
        xs.push_back(BlockOrigin(doc, table.cellAt(0, c).firstCursorPosition().block()).x() - pad);
    xs.push_back(box.right());
    for (int r = 0; r < table.rows(); ++r) {
        double top = box.bottom();
        for (int c = 0; c < table.columns(); ++c) {
            const QTextBlock b = table.cellAt(r, c).firstCursorPosition().block();
            top = std::min(top, BlockOrigin(doc, b).y() - pad - b.blockFormat().topMargin() * kvrich::kScaled);
        }
        ys.push_back(r == 0 ? box.top() : top);
    }
    ys.push_back(box.bottom());
    TkvPen pen;
    pen.width = std::max(1, int(std::lround(15 * m.sy)));
    canvas.SetPen(pen);
    auto px = [&](double x) { return int(std::lround(m.X(x))); };
    auto py = [&](double y) { return int(std::lround(m.Y(y))); };
    for (double y : ys)
        canvas.DrawLine(QPoint(px(xs.front()), py(y)), QPoint(px(xs.back()) + 1, py(y)));
    for (double x : xs)
        canvas.DrawLine(QPoint(px(x), py(ys.front())), QPoint(px(x), py(ys.back()) + 1));
}

QString CellText(const QTextTableCell& cell) {
    QStringList parts;
    ForEachCellBlock(cell, [&](const QTextBlock& b) { parts << b.text(); });
    return parts.join(QLatin1Char(' '));
}

QString Clean(QString s) {
    s.remove(QChar::ObjectReplacementCharacter);
    s.replace(QChar::LineSeparator, QLatin1Char('\n'));
    s.replace(QChar(0x00A0), QLatin1Char(' '));
    return s;
}

} // namespace

TkvRichText::TkvRichText() {
    Adopt(std::make_unique<QTextDocument>());
}

void TkvRichText::Adopt(std::unique_ptr<QTextDocument> doc) {
    doc_ = std::move(doc);
    kvrich::PrepareDocument(*doc_);
    QObject::connect(doc_.get(), &QTextDocument::contentsChanged, doc_.get(), [this] { Invalidate(); });
    Invalidate();
}

TkvRichText::~TkvRichText() = default;

void TkvRichText::Invalidate() {
    rowsWidth_ = -1;
    rows_.clear();
}

void TkvRichText::Clear() {
    Adopt(std::make_unique<QTextDocument>());
}

bool TkvRichText::LoadRtf(QByteArrayView rtf) {
    // A new document without a layout reads fast; it gets its layout when adopted.
    auto doc = std::make_unique<QTextDocument>();
    const bool ok = kvrtf::ReadRtf(rtf, *doc);
    Adopt(std::move(doc));
    return ok;
}

QByteArray TkvRichText::SaveRtf() const {
    return kvrtf::WriteRtf(*doc_);
}

void TkvRichText::SetPlainText(const QString& text) {
    Clear();
    QTextCursor c(doc_.get());
    c.insertText(text, kvrich::DefaultCharFormat());
}

void TkvRichText::CopyFrom(const TkvRichText& source) {
    if (&source == this) return;
    LoadRtf(source.SaveRtf());
}

int TkvRichText::Length() const {
    return std::max(0, doc_->characterCount() - 1);
}

QString TkvRichText::RawText() const {
    QString raw(Length(), QChar::ParagraphSeparator);
    for (QTextBlock b = doc_->begin(); b.isValid(); b = b.next()) {
        const QString t = b.text();
        const int at = b.position();
        for (int i = 0; i < t.size() && at + i < raw.size(); ++i)
            raw[at + i] = t[i];
    }
    return raw;
}

QString TkvRichText::PlainText() const {
    QStringList lines;
    for (auto it = doc_->rootFrame()->begin(); !it.atEnd(); ++it) {
        if (auto* table = qobject_cast<QTextTable*>(it.currentFrame())) {
            for (int r = 0; r < table->rows(); ++r) {
                QStringList cells;
                for (int c = 0; c < table->columns(); ++c)
                    cells << Clean(CellText(table->cellAt(r, c)));
                lines << cells.join(QLatin1Char('\t'));
            }
        } else if (!it.currentFrame()) {
            lines << Clean(it.currentBlock().text());
        }
    }
    // The paragraph a document always keeps after a final table is not part of the text.
    if (lines.size() > 1 && lines.last().isEmpty() && doc_->lastBlock().length() == 1 &&
        doc_->lastBlock().previous().isValid() && doc_->frameAt(doc_->lastBlock().position() - 1) != doc_->rootFrame())
        lines.removeLast();
    return lines.join(QLatin1Char('\n'));
}

void TkvRichText::Delete(int from, int count) {
    const int n = Length();
    from = std::clamp(from, 0, n);
    count = std::clamp(count, 0, n - from);
    if (count == 0) return;
    QTextCursor c(doc_.get());
    c.setPosition(from);
    c.setPosition(from + count, QTextCursor::KeepAnchor);
    c.removeSelectedText();
}

void TkvRichText::Replace(int from, int count, const QString& text) {
    const int n = Length();
    from = std::clamp(from, 0, n);
    count = std::clamp(count, 0, n - from);
    QTextCursor c(doc_.get());
    c.setPosition(std::min(from + 1, n));
    QTextCharFormat format = c.charFormat();
    format.setProperty(kvrich::CharsetProperty, kvcs::Default);
    c.setPosition(from);
    c.setPosition(from + count, QTextCursor::KeepAnchor);
    c.insertText(text, format);
}

const std::vector<TkvRichText::Row>& TkvRichText::Rows(int width) {
    width = std::max(1, width);
    if (rowsWidth_ == width) return rows_;
    rows_.clear();
    doc_->setTextWidth(width);
    QAbstractTextDocumentLayout* layout = doc_->documentLayout();
    layout->documentSize(); // lays the whole text out
    for (auto it = doc_->rootFrame()->begin(); !it.atEnd(); ++it) {
        if (QTextFrame* frame = it.currentFrame()) {
            const QRectF r = layout->frameBoundingRect(frame);
            rows_.push_back(Row{frame->firstPosition() - 1, frame->lastPosition() + 1, r.top(), r.bottom(), -1, 0});
            continue;
        }
        const QTextBlock b = it.currentBlock();
        const QTextLayout* tl = b.layout();
        const QPointF origin = BlockOrigin(*doc_, b);
        for (int i = 0; i < tl->lineCount(); ++i) {
            const QTextLine line = tl->lineAt(i);
            const int start = b.position() + line.textStart();
            const int end = i + 1 == tl->lineCount() ? b.position() + b.length() : start + line.textLength();
            const double top = origin.y() + line.y();
            // Fixed, least and proportional line spacing reach below the line's own height.
            const double height = std::max(line.height(), b.blockFormat().lineHeight(line.height(), kvrich::kScaled));
            rows_.push_back(Row{start, end, top, top + height, b.blockNumber(), i});
        }
    }
    rowsWidth_ = width;
    return rows_;
}

int TkvRichText::FirstRow(int from) const {
    for (size_t k = 0; k < rows_.size(); ++k)
        if (rows_[k].end > from) return int(k);
    return -1;
}

int TkvRichText::FitRange(int from, int width, int height) {
    const int n = Length();
    if (from >= n) return n;
    const auto& rows = Rows(width);
    const int k = FirstRow(from);
    if (k < 0) return n;
    const double y0 = rows[size_t(k)].top;
    for (size_t j = size_t(k); j < rows.size(); ++j) {
        if (rows[j].bottom - y0 > height + 0.5) {
            // The first row always counts as placed, so a split moves on.
            if (j == size_t(k)) return std::min(n, std::max(rows[j].end, from + 1));
            return std::max(from, rows[j].start);
        }
    }
    return n;
}

int TkvRichText::HeightTwips(int from, int width) {
    if (IsEmpty() || from >= Length()) return 0;
    const auto& rows = Rows(width);
    const int k = FirstRow(from);
    if (k < 0) return 0;
    return int(std::ceil(rows.back().bottom - rows[size_t(k)].top - 0.5));
}

void TkvRichText::Draw(TkvCanvas& canvas, const QRect& target, int width, int height, int from) {
    if (target.isEmpty() || width <= 0 || height <= 0 || IsEmpty()) return;
    const auto& rows = Rows(width);
    const int k = FirstRow(from);
    if (k < 0) return;
    Mapping m;
    m.y0 = rows[size_t(k)].top;
    m.origin = target.topLeft();
    m.sx = double(target.width()) / width;
    m.sy = double(target.height()) / height;
    canvas.Save();
    canvas.SetClipRegion(canvas.HasClip() ? canvas.ClipRegion().intersected(target) : QRegion(target));
    canvas.SetBkOpaque(false);
    for (size_t j = size_t(k); j < rows.size(); ++j) {
        const Row& row = rows[j];
        if (row.top - m.y0 >= height) break;
        if (row.block < 0) {
            if (auto* table = qobject_cast<QTextTable*>(doc_->frameAt(row.start + 1)))
                DrawTable(canvas, *doc_, *table, m);
            continue;
        }
        const QTextBlock b = doc_->findBlockByNumber(row.block);
        DrawLine(canvas, *doc_, b, b.layout()->lineAt(row.line), m);
    }
    canvas.Restore();
}

QStringList TkvRichText::Lines(int width) {
    QStringList out;
    const auto& rows = Rows(width);
    for (const Row& row : rows) {
        if (row.block < 0) {
            if (auto* table = qobject_cast<QTextTable*>(doc_->frameAt(row.start + 1))) {
                for (int r = 0; r < table->rows(); ++r) {
                    QStringList cells;
                    for (int c = 0; c < table->columns(); ++c)
                        cells << Clean(CellText(table->cellAt(r, c)));
                    out << cells.join(QLatin1Char('\t'));
                }
            }
            continue;
        }
        const QTextBlock b = doc_->findBlockByNumber(row.block);
        if (b == doc_->lastBlock() && b.length() == 1 && !out.isEmpty() && rows.size() > 1 && rows[rows.size() - 2].block < 0)
            continue; // the paragraph after a final table
        const QTextLine line = b.layout()->lineAt(row.line);
        QString t = Clean(b.text().mid(line.textStart(), line.textLength()));
        while (t.endsWith(QLatin1Char(' ')) || t.endsWith(QLatin1Char('\n')))
            t.chop(1);
        out << t;
    }
    return out;
}
