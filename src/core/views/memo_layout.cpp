#include "core/views/memo_layout.h"

#include "base/codepage.h"
#include "core/globals.h"
#include "core/views/export_target.h"
#include "core/views/memo_flags.h"
#include "core/views/text_wrapper.h"
#include "core/views/view.h"
#include "render/canvas.h"
#include "render/painter_canvas.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

using kv::ParagraphMark;

// Bounds for values that come from files. Coordinates stay far enough from the integer limits
// that adding a width or a line step cannot overflow.
constexpr int kMaxCoord = 1 << 29;
constexpr int kMaxFontPoints = 1638;
constexpr int kMaxFontPixels = 20000;
constexpr int kMaxCharSpacing = 1000;      // page units
constexpr int kMaxDrawCharSpacing = 10000; // device pixels
constexpr int kMaxUnderlines = 100000;

int Clamp(int64_t v, int64_t lo = -kMaxCoord, int64_t hi = kMaxCoord) {
    return int(std::clamp(v, lo, hi));
}

int RoundClamp(double v, int64_t lo = -kMaxCoord, int64_t hi = kMaxCoord) {
    if (std::isnan(v)) return int(std::clamp<int64_t>(0, lo, hi));
    v = std::nearbyint(std::clamp(v, double(lo), double(hi)));
    return int(v);
}

double SaneZoom(double z) {
    return std::isfinite(z) && z > 0 ? std::min(z, 1000.0) : 1.0;
}

int ClampPoints(int32_t points) {
    const int64_t p = points < 0 ? -int64_t(points) : int64_t(points);
    return int(std::clamp<int64_t>(p, 1, kMaxFontPoints));
}

bool HasSpaces(const QString& s) {
    return s.contains(QChar(0x20)) || s.contains(QChar(0xA0));
}

// Sets the canvas's font and char spacing for a while and puts the old ones back.
class FontScope {
public:
    FontScope(TkvCanvas& c, const TkvFont& font, int spacing)
        : c_(c), font_(c.Font()), spacing_(c.CharSpacing()) {
        c.SetFont(font);
        c.SetCharSpacing(spacing);
    }
    ~FontScope() {
        c_.SetFont(font_);
        c_.SetCharSpacing(spacing_);
    }
    FontScope(const FontScope&) = delete;
    FontScope& operator=(const FontScope&) = delete;

private:
    TkvCanvas& c_;
    TkvFont font_;
    int spacing_;
};

} // namespace

TkvCanvas& TkvMemoLayout::Measuring() {
    return kv::Library().TextMeasuringCanvas ? *kv::Library().TextMeasuringCanvas : kv::MeasuringCanvas();
}

int TkvMemoLayout::FontPixelHeight(int32_t points) {
    return RoundClamp(ClampPoints(points) * 96.0 / 72.0, 1, kMaxFontPixels);
}

int TkvMemoLayout::LineStep(int64_t spacing, int64_t pixelHeight) {
    return Clamp(spacing + pixelHeight, 1, kMaxCoord / 4);
}

TkvFont TkvMemoLayout::CanvasFont(int pixelHeight) const {
    TkvFont f;
    f.name = kv::DecodeText(FontName, 1);
    f.height = -pixelHeight;
    f.pointSize = ClampPoints(FontSize);
    f.style = FontStyle & 0x0F;
    f.color = FontColor;
    f.charset = Charset;
    f.escapement = 0;
    return f;
}

int TkvMemoLayout::DrawFontPixelHeight(const TkvCanvas& canvas) const {
    const int points = ClampPoints(FontSize);
    if (view_.ToPrinter) {
        // The font keeps its size in points: the printer's own resolution applies.
        return RoundClamp(points * double(std::max(canvas.DpiY(), 1)) / 72.0, 1, kMaxFontPixels);
    }
    const double zoom = SaneZoom(view_.ZoomY);
    const double h = points * 96.0 / 72.0 * zoom;
    // Rounded at zoom 1, truncated at any other zoom.
    const double px = zoom == 1.0 ? std::nearbyint(h) : std::trunc(h);
    return int(std::clamp(px, 1.0, double(kMaxFontPixels)));
}

QString TkvMemoLayout::Decode(const QByteArray& bytes) const {
    return kv::DecodeText(bytes, Charset);
}

void TkvMemoLayout::SetupFont(TkvCanvas& canvas) {
    canvas.SetBkOpaque(false);
    canvas.SetFont(CanvasFont(DrawFontPixelHeight(canvas)));
}

// ---------------------------------------------------------------- expansion

void TkvMemoLayout::ExpandMemo() {
    view_.ResultText.clear();
    for (QByteArray s : view_.Memo) {
        if (!s.isEmpty() && !(view_.Flags & kvmf::TextOnly)) s = view_.ExpandExpressions(s);
        if (s.isEmpty())
            view_.ResultText.append(QByteArray());
        else
            view_.ResultText.append(kv::SplitLines(s));
    }
}

// ---------------------------------------------------------------- layout

TkvStringList TkvMemoLayout::LayoutText() {
    TkvCanvas& m = Measuring();
    const int h = FontPixelHeight(FontSize);
    FontScope scope(m, CanvasFont(h), std::clamp(CharSpacing, -kMaxCharSpacing, kMaxCharSpacing));
    const int step = LineStep(LineSpacing, h);
    const bool rotated = Alignment & kvta::Vertical;
    // Rotated text is measured with the upright font: widths along the baseline are the same.
    const int width = rotated ? Clamp(int64_t(view_.Height) - 2 * int64_t(view_.GapY))
                              : Clamp(int64_t(view_.Width) - 2 * int64_t(view_.GapX));
    TkvTextWrapper wrapper(m, Charset, width, view_.Flags & kvmf::WordBreak);
    const TkvStringList& text = view_.ResultText;

    TkvStringList lines;
    if (!rotated && kv::DocumentMode() == 0 && text.size() == 1 && text[0].startsWith('[') &&
        wrapper.TextWidth(text[0]) > width) {
        // An expression shown in the designer stays on one line.
        lines.append(text[0]);
    } else {
        for (const QByteArray& s : text) {
            if (PreWrapped)
                lines.append(s);
            else if (view_.Flags & kvmf::WordWrap)
                wrapper.WrapLine(s, lines);
            else
                lines.append(rotated ? s : s + ParagraphMark);
        }
    }
    const int64_t gaps = 2 * int64_t(rotated ? view_.GapX : view_.GapY);
    TextHeight = Clamp(int64_t(lines.size()) * step + gaps, -kMaxCoord, std::numeric_limits<int32_t>::max());
    LineHeight = step;
    return lines;
}

// ---------------------------------------------------------------- drawing

QRect TkvMemoLayout::ClipRect() const {
    const TkvRect& r = view_.InnerRect;
    return TkvRect{r.Left + 1, r.Top, r.Right - 2, r.Bottom - 1}.toQRect();
}

void TkvMemoLayout::DrawText() {
    TkvCanvas& c = *view_.Canvas;
    SetupFont(c);
    c.SetCharSpacing(
        RoundClamp(CharSpacing * SaneZoom(view_.ZoomX), -kMaxDrawCharSpacing, kMaxDrawCharSpacing));
    const int px = DrawFontPixelHeight(c);
    const int64_t textHeight = RoundClamp(TextHeight * SaneZoom(view_.ZoomY));

    const int32_t keptAlignment = Alignment;
    const int32_t keptLeft = view_.Left, keptTop = view_.Top;
    const int32_t block = Alignment & (kvta::Middle | kvta::Down);
    const bool rotated = Alignment & kvta::Vertical;
    if (block) {
        Alignment &= ~(kvta::Middle | kvta::Down);
        const TkvRect& in = view_.InnerRect;
        if (block == kvta::Middle) {
            if (rotated)
                view_.Left = Clamp(view_.Left + (int64_t(in.Right) - in.Left - textHeight) / 2);
            else if (!FitLinesOnly)
                view_.Top = Clamp(view_.Top + (int64_t(in.Bottom) - in.Top - textHeight) / 2);
        } else if (block == kvta::Down) {
            if (rotated)
                view_.Left = Clamp(int64_t(in.Right) - textHeight);
            else if (!FitLinesOnly)
                view_.Top = Clamp(int64_t(in.Bottom) - textHeight - 1);
        }
    }
    if (rotated)
        OutputRotatedLines(px);
    else
        OutputLines(px);
    Alignment = keptAlignment;
    view_.Left = keptLeft;
    view_.Top = keptTop;
}

void TkvMemoLayout::OutputLines(int px) {
    TkvCanvas& c = *view_.Canvas;
    const TkvStringList& lines = view_.ResultText;
    int64_t y = int64_t(view_.Top) + view_.GapY;
    const int step = LineStep(RoundClamp(LineSpacing * SaneZoom(view_.ZoomY)), px);
    LinesDone = 0;
    cell_ = std::max(step, c.TextMetrics().height);
    const QRect clip = ClipRect();
    bool rightAlign = false;
    if (kv::DocumentMode() == 0 && lines.size() == 1 && lines[0].startsWith('[')) {
        QByteArray s = lines[0];
        kv::TakeParagraphMark(s);
        rightAlign = c.TextExtent(Decode(s)).width() > clip.width();
    }
    for (int i = 0; i < lines.size(); ++i)
        if (!OutputLine(lines[i], y, step, rightAlign, i, int(lines.size()))) break;
}

bool TkvMemoLayout::OutputLine(QByteArray s, int64_t& y, int step, bool rightAlign, int index, int count) {
    TkvCanvas& c = *view_.Canvas;
    const QRect clip = ClipRect();
    const int64_t clipBottom = int64_t(clip.top()) + clip.height(); // exclusive
    if (FitLinesOnly && y + step > clipBottom) {
        y += step;
        return false;
    }
    const bool paragraphEnd = kv::TakeParagraphMark(s) || s.isEmpty();

    // Lines wholly outside the clip rectangle would draw nothing: skip their measuring.
    const bool visible =
        !countOnly_ && clip.width() > 0 && clip.height() > 0 && y < clipBottom && y + cell_ > clip.top();
    if (Exporting || visible) {
        const QString text = Decode(s);
        const TkvRect& in = view_.InnerRect;
        const int64_t iw = int64_t(in.Right) - in.Left;
        const int64_t gapX = view_.GapX;
        const int64_t t = std::max(0, c.TextExtent(text).width());
        int64_t x = int64_t(view_.Left) + gapX;
        int64_t extra = 0;
        switch (rightAlign ? 1 : Alignment & 3) {
        case 1:
            x = int64_t(view_.Left) + iw - 1 - gapX - t;
            break;
        case 2:
            x = int64_t(view_.Left) + gapX + (iw - 2 * gapX - t) / 2;
            break;
        case 3:
            if (!Exporting && !paragraphEnd && HasSpaces(text)) extra = iw - 2 * gapX - t;
            break;
        default:
            break;
        }
        if (Exporting) {
            if (ExportTarget) {
                uint16_t sides = view_.FrameTyp;
                if (count > 1) {
                    if (index == 0)
                        sides &= ~uint16_t(2);
                    else if (index == count - 1)
                        sides &= ~uint16_t(8);
                    else
                        sides &= ~uint16_t(2 | 8);
                }
                ExportTarget->ExportTextLine(in, Clamp(x), Clamp(y), s, sides, view_);
            }
        } else {
            DrawLine(text, Clamp(x), Clamp(y), Clamp(extra), clip);
        }
    }
    ++LinesDone;
    y += step;
    return true;
}

void TkvMemoLayout::OutputRotatedLines(int px) {
    TkvCanvas& c = *view_.Canvas;
    TkvFont rotatedFont = c.Font();
    rotatedFont.escapement = 900;
    FontScope scope(c, rotatedFont, c.CharSpacing());
    const TkvStringList& lines = view_.ResultText;
    int64_t x = int64_t(view_.Left) + view_.GapX;
    const int step = LineStep(RoundClamp(LineSpacing * SaneZoom(view_.ZoomX)), px);
    LinesDone = 0;
    const QRect clip = ClipRect();
    const int64_t clipRight = int64_t(clip.left()) + clip.width(); // exclusive
    const int cell = std::max(step, c.TextMetrics().height);
    const TkvRect& in = view_.InnerRect;
    const int64_t ih = int64_t(in.Bottom) - in.Top;
    const int64_t gapY = view_.GapY;
    for (QByteArray s : lines) {
        const bool paragraphEnd = kv::TakeParagraphMark(s) || s.isEmpty();
        const bool visible =
            !countOnly_ && clip.width() > 0 && clip.height() > 0 && x < clipRight && x + cell > clip.left();
        if (Exporting || visible) {
            const QString text = Decode(s);
            const int64_t t = std::max(0, c.TextExtent(text).width());
            int64_t y = int64_t(in.Bottom) - gapY;
            int64_t extra = 0;
            switch (Alignment & 3) {
            case 1:
                y = int64_t(view_.Top) + gapY + t;
                break;
            case 2:
                y = int64_t(in.Bottom) - gapY - (ih - 2 * gapY - t) / 2 - 1;
                break;
            case 3:
                y = int64_t(in.Bottom) + view_.Top - in.Top - gapY;
                if (!Exporting && !paragraphEnd && HasSpaces(text)) extra = ih - 2 * gapY - t;
                break;
            default:
                break;
            }
            if (Exporting) {
                if (ExportTarget) ExportTarget->ExportTextLine(in, Clamp(x), Clamp(y), s, 0, view_);
            } else {
                DrawLine(text, Clamp(x), Clamp(y), Clamp(extra), clip);
            }
        }
        ++LinesDone;
        x += step;
    }
}

void TkvMemoLayout::DrawLine(const QString& text, int x, int y, int extra, const QRect& clip) {
    TkvCanvas& c = *view_.Canvas;
    QVector<int> advances;
    if (extra > 0) {
        // Justification: the extra space is spread over the spaces, the first ones taking the
        // remainder. Advances replace the canvas's own, so they carry the char spacing too.
        QHash<uint32_t, int> cache;
        advances.resize(text.size());
        int spaces = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar ch = text[i];
            if (ch.isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate()) {
                advances[i] = 0;
                continue;
            }
            const bool pair = ch.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
            const uint32_t key = pair ? QChar::surrogateToUcs4(ch, text[i + 1]) : ch.unicode();
            auto it = cache.constFind(key);
            if (it == cache.constEnd())
                it = cache.insert(key, c.TextExtent(text.mid(i, pair ? 2 : 1)).width());
            advances[i] = it.value();
            if (ch == QChar(0x20) || ch == QChar(0xA0)) ++spaces;
        }
        const int share = extra / spaces, rest = extra % spaces;
        int seen = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == QChar(0x20) || text[i] == QChar(0xA0)) {
                advances[i] += share + (seen < rest ? 1 : 0);
                ++seen;
            }
        }
    }
    QString out = text;
    if (view_.Flags & kvmf::RtlReading) {
        // Right-to-left reading order: the line is an explicit right-to-left embedding.
        out = QChar(0x202B) + text + QChar(0x202C);
        if (!advances.isEmpty()) {
            advances.prepend(0);
            advances.append(0);
        }
    }
    c.TextOut(QPoint(x, y), out, &clip, advances.isEmpty() ? nullptr : &advances);
}

void TkvMemoLayout::DrawUnderlines() {
    TkvCanvas& c = *view_.Canvas;
    SetupFont(c);
    TkvPen pen;
    pen.color = view_.FrameColor;
    pen.width = RoundClamp(view_.FrameWidth, 0, 1000);
    pen.style = TkvPenStyle::Solid;
    c.SetPen(pen);
    const int px = DrawFontPixelHeight(c);
    const double zoom = SaneZoom(view_.ZoomY);
    const int step = LineStep(RoundClamp(LineSpacing * zoom), px);
    const int64_t first = int64_t(view_.Top) + view_.GapY + RoundClamp(2 * zoom) + px;
    int64_t from = 0, to = std::max<int64_t>(view_.Height, 0) / step; // rules [from, to)
    // Only the rules inside the clip region can show; at most a bounded number are drawn.
    if (c.HasClip()) {
        const QRect b = c.ClipRegion().boundingRect();
        from = std::max<int64_t>(from, (int64_t(b.top()) - first + step - 1) / step);
        to = std::min<int64_t>(to, (int64_t(b.top()) + b.height() - first) / step + 1);
    }
    to = std::min(to, from + kMaxUnderlines);
    const int left = view_.Left;
    const int right = Clamp(int64_t(view_.Left) + view_.Width - 1);
    for (int64_t i = std::max<int64_t>(from, 0); i < to; ++i) {
        const int y = Clamp(first + i * step);
        c.DrawLine(QPoint(left, y), QPoint(right, y));
    }
}

int TkvMemoLayout::CalcAutoWidth(const TkvStringList& lines) {
    TkvCanvas& c = *view_.Canvas;
    QByteArray text = kv::JoinLines(lines);
    text.replace(ParagraphMark, QByteArray());
    SetupFont(c);
    const double zoom = SaneZoom(view_.ZoomX);
    c.SetCharSpacing(RoundClamp(CharSpacing * zoom, -kMaxDrawCharSpacing, kMaxDrawCharSpacing));
    int64_t widest = 0;
    for (const QByteArray& line : kv::SplitLines(text))
        widest = std::max<int64_t>(widest, c.TextExtent(Decode(line)).width());
    return RoundClamp(widest / zoom + double(view_.FrameWidth) + 2.0 * view_.GapX + 1);
}

// ---------------------------------------------------------------- the whole drawing

void TkvMemoLayout::Draw(TkvCanvas& canvas) {
    TkvView& v = view_;
    v.Canvas = &canvas;
    const bool autoWidth = (v.Flags & kvmf::AutoWidth) && !v.Memo.isEmpty() && kv::DocumentMode() == 1;
    if (autoWidth) {
        const int w = CalcAutoWidth(v.Memo);
        if (Alignment & kvta::Vertical) {
            v.Height = w;
        } else {
            if (Alignment & 1) v.Left = Clamp(int64_t(v.Left) + v.Width - w);
            v.Width = w;
        }
    }
    v.AttachCanvas(&canvas);
    FitLinesOnly = false;
    v.ResultText = v.Memo;
    if (!v.ResultText.isEmpty()) {
        PreWrapped = std::any_of(v.ResultText.cbegin(), v.ResultText.cend(),
                                 [](const QByteArray& s) { return s.contains(ParagraphMark); });
        if (v.ResultText.last() == QByteArray(1, ParagraphMark)) v.ResultText.removeLast();
        const double zoomX = v.ZoomX, zoomY = v.ZoomY;
        v.ZoomX = v.ZoomY = 1.0;
        v.ScaleForDrawing();
        if (autoWidth) v.Width = Clamp(int64_t(v.Width) + 100);
        TkvStringList lines = LayoutText();
        v.ZoomX = zoomX;
        v.ZoomY = zoomY;
        v.RestoreAfterDrawing();
        v.ResultText = std::move(lines);
    }
    v.ScaleForDrawing();
    if (!Exporting) {
        v.DrawBackground();
        v.DrawFrame();
        if (v.Flags & kvmf::Underlines) DrawUnderlines();
    }
    if (!v.ResultText.isEmpty()) DrawText();
    canvas.SetCharSpacing(0);
    v.RestoreAfterDrawing();
}

TkvStringList TkvMemoLayout::TakeFittingLines() {
    TkvCanvas* kept = view_.Canvas;
    view_.Canvas = &Measuring();
    const bool keptFit = FitLinesOnly, keptExporting = Exporting;
    FitLinesOnly = true;
    Exporting = false;
    countOnly_ = true;
    {
        FontScope scope(*view_.Canvas, view_.Canvas->Font(), view_.Canvas->CharSpacing());
        DrawText();
    }
    countOnly_ = false;
    FitLinesOnly = keptFit;
    Exporting = keptExporting;
    view_.Canvas = kept;

    TkvStringList& text = view_.ResultText;
    const int done = std::clamp<int>(LinesDone, 0, int(text.size()));
    TkvStringList rest = text.mid(done);
    text = text.first(done);
    if (std::none_of(text.cbegin(), text.cend(), [](const QByteArray& s) { return s.contains(ParagraphMark); }))
        text.append(QByteArray(1, ParagraphMark));
    return rest;
}
