#include "export/xlsx_export.h"

#include "base/codepage.h"
#include "core/locale.h"
#include "core/report/report.h"
#include "export/export_registry.h"
#include "export/export_run.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <map>
#include <xlsxwriter.h>

namespace {

constexpr uint32_t kTransparent = 0x1FFFFFFF;
constexpr double kPageUnitsPerInch = 91.6256157635468;

// Report colours hold red in the low byte; the sheet wants 0xRRGGBB. System and "no" colours
// have no sheet colour (nullopt).
std::optional<lxw_color_t> SheetColor(uint32_t c) {
    if (c & 0xFF000000u) return std::nullopt;
    return lxw_color_t(((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF));
}

QString CellText(const TkvIEMObject& o) {
    QByteArray text = o.TextLines.join("\r\n");
    text.replace('\r', QByteArray()).replace('\x01', QByteArray());
    while (text.endsWith('\n')) text.chop(1);
    return kv::DecodeText(text, o.Charset);
}

struct WorkbookCloser {
    lxw_workbook* wb;
    ~WorkbookCloser() {
        if (wb) workbook_close(wb);
    }
};

} // namespace

TkvXlsxExport::TkvXlsxExport() {
    kv::RegisterExportFilter(this, kv::LoadLibraryText(54841), "*.xlsx");
}

TkvXlsxExport::~TkvXlsxExport() = default;

QByteArray TkvXlsxExport::ColumnName(int n) {
    QByteArray out;
    while (n > 0) {
        const int d = (n - 1) % 26;
        out.prepend(char('A' + d));
        n = (n - 1) / 26;
    }
    return out;
}

bool TkvXlsxExport::IsPlainNumber(const QString& text, double* value) {
    QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 40) return false;
    QString digits;
    qsizetype i = 0;
    if (t[0] == u'-') {
        digits += u'-';
        ++i;
    }
    int intDigits = 0, group = -1;
    bool leadingZero = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c.isDigit() && c.unicode() < 128) {
            if (intDigits == 0 && c == u'0') leadingZero = true;
            ++intDigits;
            if (group >= 0) ++group;
            digits += c;
        } else if (c == u' ' || c == QChar(0xA0)) {
            if (intDigits == 0 || (group >= 0 && group != 3) || (group < 0 && intDigits > 3)) return false;
            group = 0;
        } else {
            break;
        }
    }
    if (intDigits == 0 || (group >= 0 && group != 3) || (leadingZero && intDigits > 1)) return false;
    if (i < t.size()) {
        if (t[i] != u',' && t[i] != u'.') return false;
        digits += u'.';
        ++i;
        const qsizetype start = i;
        for (; i < t.size(); ++i) {
            if (!t[i].isDigit() || t[i].unicode() >= 128) return false;
            digits += t[i];
        }
        if (i == start) return false;
    }
    bool ok = false;
    const double v = digits.toDouble(&ok);
    if (ok && value) *value = v;
    return ok;
}

void TkvXlsxExport::BeginDocument() {
    matrix_ = std::make_unique<TkvIEMatrix>();
    matrix_->MaxCellHeight = 535.79;
    matrix_->Inaccuracy = 0.5;
}

void TkvXlsxExport::ExportObject(int, int, TkvView& view) {
    if (matrix_) matrix_->AddObject(view);
}

void TkvXlsxExport::EndPage() {
    if (matrix_) matrix_->NewPage();
}

void TkvXlsxExport::EndDocument() {
    if (!matrix_) return;
    TkvIEMatrix& m = *matrix_;
    m.Progress = Progress;
    m.Prepare();
    // The last grid line closes the table: rows and columns lie between neighbouring lines.
    const int rows = std::max(0, m.RowCount() - 1), cols = std::max(0, m.ColCount() - 1);
    if (rows > kMaxRows || cols > kMaxColumns)
        throw TkvExportError(QStringLiteral("The report would need %1 rows by %2 columns; a worksheet holds at most "
                                            "1,048,576 rows by 16,384 columns.")
                                 .arg(rows)
                                 .arg(cols)
                                 .toStdString());
    QTemporaryDir dir;
    if (!dir.isValid()) throw TkvExportError("No temporary folder for the workbook could be created.");
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("book.xlsx")));
    lxw_workbook_options options{};
    const QByteArray tmp = QFile::encodeName(dir.path());
    options.tmpdir = const_cast<char*>(tmp.constData());
    lxw_workbook* wb = workbook_new_opt(path.constData(), &options);
    if (!wb) throw TkvExportError("The workbook could not be created.");
    WorkbookCloser closer{wb};
    lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);

    // Page setup from the first exported page.
    if (Report && Report->EMFPages.Count() > 0) {
        const PreparedPageInfo& first = Report->EMFPages.PageInfo(0);
        const auto inches = [](int v) { return std::max(0, v) / kPageUnitsPerInch; };
        worksheet_set_margins(ws, inches(first.Margins.Left), inches(first.Margins.Right), inches(first.Margins.Top),
                              inches(first.Margins.Bottom));
        if (first.Orientation == 1)
            worksheet_set_landscape(ws);
        else
            worksheet_set_portrait(ws);
    }

    if (Progress) Progress->StartPhase(QStringLiteral("Progress rows"), rows + cols);
    const auto cancelled = [&] { return Report && Report->CancelRequested; };
    for (int r = 0; r < rows && !cancelled(); ++r) {
        if (Progress) Progress->Tick();
        const double h = std::min((m.YPosition(r + 1) - m.YPosition(r)) * ScaleY / 1.31, 409.0);
        worksheet_set_row(ws, lxw_row_t(r), h, nullptr);
    }
    for (int c = 0; c < cols; ++c) {
        if (Progress) Progress->Tick();
        worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c), (m.XPosition(c + 1) - m.XPosition(c)) * ScaleX / 8,
                             nullptr);
    }

    // One format per style and border sides, made on first use.
    std::map<std::pair<int, int>, lxw_format*> formats;
    const auto format = [&](int styleIndex, int sides) {
        auto& f = formats[{HighQuality ? styleIndex : -1, sides}];
        if (f) return f;
        f = workbook_add_format(wb);
        if (HighQuality) {
            const TkvIEMStyle& s = m.Style(styleIndex);
            format_set_font_name(f, kv::DecodeText(s.FontName, 1).toUtf8().constData());
            format_set_font_size(f, std::clamp(s.FontSize, 1, 409));
            if (s.FontStyle & 2) format_set_bold(f);
            if (s.FontStyle & 1) format_set_italic(f);
            if (s.FontStyle & 4) format_set_underline(f, LXW_UNDERLINE_SINGLE);
            if (s.FontStyle & 8) format_set_font_strikeout(f);
            if (const auto c = SheetColor(s.FontColor); c && *c != 0) format_set_font_color(f, *c);
            if (s.FillColor != kTransparent)
                if (const auto c = SheetColor(s.FillColor)) {
                    format_set_pattern(f, LXW_PATTERN_SOLID);
                    format_set_bg_color(f, *c);
                }
            const int hAlign = s.Alignment & 3;
            format_set_align(f, hAlign == 3   ? LXW_ALIGN_JUSTIFY
                                : hAlign == 1 ? LXW_ALIGN_RIGHT
                                : hAlign == 2 ? LXW_ALIGN_CENTER
                                              : LXW_ALIGN_LEFT);
            format_set_align(f, (s.Alignment & 8)    ? LXW_ALIGN_VERTICAL_CENTER
                                : (s.Alignment & 16) ? LXW_ALIGN_VERTICAL_BOTTOM
                                                     : LXW_ALIGN_VERTICAL_TOP);
        }
        if (CellsWrapWords) format_set_text_wrap(f);
        if (sides) {
            const lxw_color_t color = styleIndex >= 0 ? SheetColor(m.Style(styleIndex).FrameColor).value_or(0) : 0;
            if (sides & 8) format_set_top(f, LXW_BORDER_THIN), format_set_top_color(f, color);
            if (sides & 4) format_set_left(f, LXW_BORDER_THIN), format_set_left_color(f, color);
            if (sides & 2) format_set_bottom(f, LXW_BORDER_THIN), format_set_bottom_color(f, color);
            if (sides & 1) format_set_right(f, LXW_BORDER_THIN), format_set_right_color(f, color);
        }
        return f;
    };

    std::vector<QByteArray> images; // kept until the workbook is closed
    if (Progress) Progress->StartPhase(QStringLiteral("Progress objects"), rows);
    for (int r = 0; r < rows; ++r) {
        if (Progress) Progress->Tick();
        if (Report && Report->CancelRequested) break;
        for (int c = 0; c < cols; ++c) {
            const int k = m.Cell(c, r);
            if (k < 0) continue;
            TkvIEMPlacement& p = m.Placement(k);
            if (p.Obj.Marker) continue;
            p.Obj.Marker = 1;
            const TkvIEMObject& o = p.Obj;
            const int c2 = std::min(p.Col + std::max(p.ColSpan, 1), cols) - 1;
            const int r2 = std::min(p.Row + std::max(p.RowSpan, 1), rows) - 1;
            if (o.IsText) {
                const int frame = CellsBorders ? m.Style(o.StyleIndex).FrameTyp & 15 : 0;
                const auto sidesAt = [&](int x, int y) {
                    int s = 0;
                    if (y == p.Row) s |= frame & 8;
                    if (x == p.Col) s |= frame & 4;
                    if (y == r2) s |= frame & 2;
                    if (x == c2) s |= frame & 1;
                    return s;
                };
                const QByteArray text = CellText(o).toUtf8();
                double number = 0;
                const bool asNumber = ConvertNumbers && IsPlainNumber(QString::fromUtf8(text), &number);
                const bool merge = CellsMerged && (c2 > p.Col || r2 > p.Row);
                lxw_format* first = format(o.StyleIndex, sidesAt(p.Col, p.Row));
                if (merge) {
                    worksheet_merge_range(ws, lxw_row_t(p.Row), lxw_col_t(p.Col), lxw_row_t(r2), lxw_col_t(c2), "",
                                          first);
                    for (int y = p.Row; y <= r2; ++y)
                        for (int x = p.Col; x <= c2; ++x)
                            if (x != p.Col || y != p.Row)
                                worksheet_write_blank(ws, lxw_row_t(y), lxw_col_t(x), format(o.StyleIndex, sidesAt(x, y)));
                }
                if (asNumber)
                    worksheet_write_number(ws, lxw_row_t(p.Row), lxw_col_t(p.Col), number, first);
                else if (!text.isEmpty())
                    worksheet_write_string(ws, lxw_row_t(p.Row), lxw_col_t(p.Col), text.constData(), first);
                else if (!merge)
                    worksheet_write_blank(ws, lxw_row_t(p.Row), lxw_col_t(p.Col), first);
            } else if (ExportPictures && !o.Picture.isNull()) {
                QByteArray png;
                QBuffer buffer(&png);
                buffer.open(QIODevice::WriteOnly);
                if (!o.Picture.save(&buffer, "PNG")) continue;
                images.push_back(png);
                lxw_image_options io{};
                io.x_scale = io.y_scale = 1.0;
                io.object_position = LXW_OBJECT_MOVE_DONT_SIZE;
                worksheet_insert_image_buffer_opt(ws, lxw_row_t(p.Row), lxw_col_t(p.Col),
                                                  reinterpret_cast<const unsigned char*>(images.back().constData()),
                                                  size_t(images.back().size()), &io);
            }
        }
    }
    if (PageBreaks && m.PageBreakCount() > 1) {
        std::vector<lxw_row_t> breaks;
        for (int i = 0, r = 0; i + 1 < m.PageBreakCount() && breaks.size() < 1000; ++i) {
            while (r < rows && m.YPosition(r) < m.PageBreak(i)) ++r;
            if (r > 0 && r < rows) breaks.push_back(lxw_row_t(r));
        }
        breaks.push_back(0);
        worksheet_set_h_pagebreaks(ws, breaks.data());
    }
    worksheet_set_selection(ws, 0, 0, 0, 0);
    worksheet_activate(ws);
    matrix_.reset();
    closer.wb = nullptr;
    const lxw_error err = workbook_close(wb);
    if (err != LXW_NO_ERROR)
        throw TkvExportError(std::string("The workbook could not be written: ") + lxw_strerror(err));
    QFile book(QFile::decodeName(path));
    if (!book.open(QIODevice::ReadOnly)) throw TkvExportError("The workbook could not be read back.");
    Write(book.readAll());
}
