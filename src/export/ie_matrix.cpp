#include "export/ie_matrix.h"

#include "base/text_util.h"
#include "core/views/memo_view.h"
#include "core/views/rich_view.h"
#include "export/export_run.h"
#include "export/rtf_writer.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr uint32_t kTransparent = 0x1FFFFFFF;

bool Near(double a, double b, double tolerance) {
    return std::fabs(a - b) <= tolerance;
}

} // namespace

int TkvIEMatrix::FindOrAddStyle(const TkvIEMStyle& style) {
    const auto it = std::find(styles_.begin(), styles_.end(), style);
    if (it != styles_.end()) return int(it - styles_.begin());
    styles_.push_back(style);
    return int(styles_.size() - 1);
}

void TkvIEMatrix::AddPosition(std::vector<double>& list, double v) {
    const size_t from = list.size() > 100 ? list.size() - 100 : 0;
    if (std::find(list.begin() + qsizetype(from), list.end(), v) != list.end()) return;
    if (qsizetype(list.size()) >= kMaxPositions)
        throw TkvExportError("The report has too many distinct object edges to be laid out as a table.");
    list.push_back(v);
}

void TkvIEMatrix::AddObject(TkvView& view) {
    TkvIEMPlacement p;
    TkvIEMObject& o = p.Obj;
    TkvIEMStyle style;
    auto* memo = dynamic_cast<TkvMemoView*>(&view);
    if (memo) {
        style.FontName = memo->Font.Name;
        style.FontSize = memo->Font.Size;
        style.FontStyle = memo->Font.Style;
        style.FontColor = memo->Font.Color;
        style.Alignment = memo->Alignment;
        style.FrameTyp = memo->FrameTyp;
        style.FrameWidth = memo->FrameWidth;
        style.FrameColor = memo->FrameColor;
        style.FrameStyle = memo->FrameStyle;
        o.Charset = memo->Font.Charset;
    } else {
        style.FrameWidth = 0;
    }
    style.FillColor = view.FillColor;
    o.StyleIndex = FindOrAddStyle(style);
    o.Left = view.Left;
    o.Top = view.Top + deltaY_;
    o.Width = view.Width;
    o.Height = view.Height;
    auto* rich = dynamic_cast<TkvRichView*>(&view);
    if (memo) {
        o.TextLines = memo->Memo;
        o.IsText = true;
    } else if (rich && RichText && !PlainRich) {
        // The RTF source, kept as it is stored.
        o.IsText = o.IsRichText = true;
        o.TextLines = {rich->RichText};
    } else {
        o.IsText = false;
        if (kv::RoundEven(o.Width) == 0) o.Width = 1;
        if (kv::RoundEven(o.Height) == 0) o.Height = 1;
        if (o.Width < 0) {
            o.Width = -o.Width;
            o.Left -= o.Width;
        }
        if (o.Height < 0) {
            o.Height = -o.Height;
            o.Top -= o.Height;
        }
        o.Picture = kvrtf::DrawViewToImage(view);
    }
    maxHeight_ = std::max(maxHeight_, o.Top + o.Height);
    maxWidth_ = std::max(maxWidth_, o.Left + o.Width);
    AddPosition(xs_, o.Left);
    AddPosition(xs_, o.Left + o.Width);
    AddPosition(ys_, o.Top);
    AddPosition(ys_, o.Top + o.Height);
    placements_.push_back(std::move(p));
}

void TkvIEMatrix::NewPage() {
    deltaY_ = maxHeight_;
    breaks_.push_back(maxHeight_);
}

void TkvIEMatrix::Tick() {
    if (Progress) Progress->Tick();
}

void TkvIEMatrix::ArrangePositions(std::vector<double>& list, double limit) {
    std::sort(list.begin(), list.end());
    Tick();
    // A run of lines closer than the inaccuracy collapses onto its largest member.
    std::vector<double> merged;
    merged.reserve(list.size());
    for (double v : list) {
        if (!merged.empty() && !(Inaccuracy < v - merged.back()))
            merged.back() = v;
        else
            merged.push_back(v);
    }
    list = std::move(merged);
    Tick();
    bool added = false;
    if (limit > 0 && list.size() >= 2) {
        const size_t pairs = list.size() - 1;
        for (size_t i = 0; i < pairs; ++i) {
            const double a = list[i], b = list[i + 1];
            if (!(limit < b - a)) continue;
            const double n = std::floor((b - a) / limit);
            if (n > double(kMaxPositions))
                throw TkvExportError("The report has too many distinct object edges to be laid out as a table.");
            for (int k = 1; k <= int(n); ++k) AddPosition(list, a + k * limit);
            added = true;
        }
    }
    Tick();
    if (added) std::sort(list.begin(), list.end());
    Tick();
}

void TkvIEMatrix::PlaceObjects() {
    const auto place = [](const std::vector<double>& list, double start, double size, int& index, int& span) {
        const auto first = std::lower_bound(list.begin(), list.end(), start);
        index = int(first - list.begin());
        span = 0;
        double a = start;
        for (auto it = first + (first != list.end() ? 1 : 0); a < start + size && it != list.end(); ++it) {
            a = *it;
            ++span;
        }
    };
    for (TkvIEMPlacement& p : placements_) {
        place(xs_, p.Obj.Left, p.Obj.Width, p.Col, p.ColSpan);
        place(ys_, p.Obj.Top, p.Obj.Height, p.Row, p.RowSpan);
    }
}

void TkvIEMatrix::BuildCells() {
    if (qint64(colCount_) * rowCount_ > kMaxCells)
        throw TkvExportError(QStringLiteral("The report would need a table of %1 columns by %2 rows, more than an "
                                            "export can hold.")
                                 .arg(colCount_)
                                 .arg(rowCount_)
                                 .toStdString());
    cells_.assign(size_t(colCount_) * size_t(rowCount_), -1);
    for (size_t k = 0; k < placements_.size(); ++k) {
        TkvIEMPlacement& p = placements_[k];
        if (styles_[size_t(p.Obj.StyleIndex)].FillColor == kTransparent) {
            const int j = Cell(p.Col, p.Row);
            if (j >= 0) {
                TkvIEMStyle s = styles_[size_t(p.Obj.StyleIndex)];
                s.FillColor = styles_[size_t(placements_[size_t(j)].Obj.StyleIndex)].FillColor;
                p.Obj.StyleIndex = FindOrAddStyle(s);
            }
        }
        const int c1 = std::max(p.Col, 0), c2 = std::min(p.Col + p.ColSpan, colCount_);
        const int r1 = std::max(p.Row, 0), r2 = std::min(p.Row + p.RowSpan, rowCount_);
        for (int r = r1; r < r2; ++r)
            std::fill_n(cells_.begin() + qsizetype(c1) + qsizetype(r) * colCount_, std::max(0, c2 - c1), int(k));
    }
}

void TkvIEMatrix::CutObjects() {
    const auto run = [&](int c, int r, int k) {
        int w = 0;
        while (c + w < colCount_ && At(c + w, r) == k) ++w;
        return w;
    };
    const auto xAt = [&](int i) { return i < colCount_ ? xs_[size_t(i)] : maxWidth_; };
    const auto yAt = [&](int i) { return i < rowCount_ ? ys_[size_t(i)] : maxHeight_; };
    for (int r = 0; r < rowCount_; ++r) {
        for (int c = 0; c < colCount_; ++c) {
            const int k = At(c, r);
            if (k < 0 || placements_[size_t(k)].Done) continue;
            const int w = run(c, r, k);
            int h = 1;
            while (r + h < rowCount_ && At(c, r + h) == k && run(c, r + h, k) >= w) ++h;
            TkvIEMPlacement& src = placements_[size_t(k)];
            if (c == src.Col && r == src.Row && w == src.ColSpan && h == src.RowSpan) {
                src.Done = true;
                continue;
            }
            TkvIEMPlacement part;
            TkvIEMObject& o = part.Obj;
            o.StyleIndex = src.Obj.StyleIndex;
            o.Charset = src.Obj.Charset;
            o.Left = xAt(c);
            o.Top = yAt(r);
            o.Width = xAt(c + w) - o.Left;
            o.Height = yAt(r + h) - o.Top;
            o.TextLines = std::move(src.Obj.TextLines);
            o.Picture = std::move(src.Obj.Picture);
            o.IsText = src.Obj.IsText;
            o.IsRichText = src.Obj.IsRichText; // the text stays RTF source, not text to escape
            src.Obj.TextLines.clear();
            src.Obj.Picture = QImage();
            src.Obj.IsText = true;
            src.Obj.IsRichText = false;
            o.SourceObject = k;
            part.Col = c;
            part.Row = r;
            part.ColSpan = w;
            part.RowSpan = h;
            part.Done = true;
            if (o.IsText) {
                const TkvIEMObject& s = src.Obj;
                const int f = styles_[size_t(s.StyleIndex)].FrameTyp;
                // Grid lines may have merged within the inaccuracy: edges that close are the same edge.
                const double tol = Inaccuracy;
                int keep = 0;
                if ((f & 8) && Near(o.Top, s.Top, tol)) keep |= 8;
                if ((f & 4) && Near(o.Left, s.Left, tol)) keep |= 4;
                if ((f & 2) && Near(o.Top + o.Height, s.Top + s.Height, tol)) keep |= 2;
                if ((f & 1) && Near(o.Left + o.Width, s.Left + s.Width, tol)) keep |= 1;
                if (keep != f) {
                    TkvIEMStyle st = styles_[size_t(s.StyleIndex)];
                    st.FrameTyp = keep;
                    o.StyleIndex = FindOrAddStyle(st);
                }
            }
            const int index = int(placements_.size());
            placements_.push_back(std::move(part));
            for (int y = r; y < r + h; ++y)
                for (int x = c; x < c + w; ++x) At(x, y) = index;
        }
    }
    MoveTextsToLargestParts();
}

void TkvIEMatrix::MoveTextsToLargestParts() {
    // The first part met in row order may be a thin strip above or beside the covering object,
    // too small to show the text that the whole object held; the largest part shows it best.
    std::vector<int> largest(placements_.size(), -1);
    for (size_t i = 0; i < placements_.size(); ++i) {
        const TkvIEMObject& o = placements_[i].Obj;
        if (o.SourceObject < 0 || size_t(o.SourceObject) >= placements_.size()) continue;
        int& best = largest[size_t(o.SourceObject)];
        const auto area = [&](int k) { return placements_[size_t(k)].Obj.Width * placements_[size_t(k)].Obj.Height; };
        if (best < 0 || area(int(i)) > area(best)) best = int(i);
    }
    for (size_t i = 0; i < placements_.size(); ++i) {
        TkvIEMObject& from = placements_[i].Obj;
        if (from.SourceObject < 0 || !from.IsText || from.TextLines.isEmpty()) continue;
        const int to = largest[size_t(from.SourceObject)];
        if (to < 0 || size_t(to) == i) continue;
        TkvIEMObject& target = placements_[size_t(to)].Obj;
        target.TextLines = std::move(from.TextLines);
        target.IsRichText = from.IsRichText;
        target.Charset = from.Charset;
        from.TextLines.clear();
        from.IsRichText = false;
    }
}

void TkvIEMatrix::OptimizeFrames() {
    for (int r = 0; r < rowCount_; ++r) {
        for (int c = 0; c < colCount_; ++c) {
            const int k = At(c, r);
            if (k < 0) continue;
            TkvIEMObject& o = placements_[size_t(k)].Obj;
            const TkvIEMStyle& s = styles_[size_t(o.StyleIndex)];
            int f = s.FrameTyp;
            const auto shares = [&](int other, int side) {
                if (other < 0 || other == k) return false;
                const TkvIEMStyle& n = styles_[size_t(placements_[size_t(other)].Obj.StyleIndex)];
                return (n.FrameTyp & side) && n.FrameWidth == s.FrameWidth && n.FrameColor == s.FrameColor;
            };
            if ((f & 8) && r > 0 && shares(At(c, r - 1), 2)) f &= ~8;
            if ((f & 4) && c > 0 && shares(At(c - 1, r), 1)) f &= ~4;
            if (f != s.FrameTyp) {
                TkvIEMStyle st = s;
                st.FrameTyp = f;
                o.StyleIndex = FindOrAddStyle(st);
            }
        }
    }
}

void TkvIEMatrix::Prepare() {
    if (Progress) Progress->StartPhase(QStringLiteral("Prepare export"), 11);
    if (WhiteBackground) {
        TkvIEMStyle s;
        s.FrameTyp = 0;
        s.FrameWidth = 0;
        s.FillColor = 0xFFFFFF;
        TkvIEMPlacement p;
        p.Obj.StyleIndex = FindOrAddStyle(s);
        p.Obj.Width = maxWidth_;
        p.Obj.Height = maxHeight_;
        p.Obj.IsText = true;
        AddPosition(xs_, 0);
        AddPosition(ys_, 0);
        placements_.insert(placements_.begin(), std::move(p));
    }
    ArrangePositions(xs_, MaxCellWidth);
    ArrangePositions(ys_, MaxCellHeight);
    colCount_ = int(xs_.size());
    rowCount_ = int(ys_.size());
    PlaceObjects();
    Tick();
    BuildCells();
    Tick();
    CutObjects();
    Tick();
    if (FramesOptimization) OptimizeFrames();
}

void TkvIEMatrix::ClearMatrix() {
    placements_.clear();
    styles_.clear();
    xs_.clear();
    ys_.clear();
    breaks_.clear();
    cells_.clear();
    colCount_ = rowCount_ = 0;
    maxWidth_ = maxHeight_ = deltaY_ = 0;
}

int TkvIEMatrix::Cell(int col, int row) const {
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) return -1;
    return cells_[size_t(col) + size_t(row) * size_t(colCount_)];
}

const TkvIEMObject* TkvIEMatrix::CellObject(int col, int row) const {
    const int k = Cell(col, row);
    return k < 0 ? nullptr : &placements_[size_t(k)].Obj;
}
