#include "cli/render_command.h"

#include "core/store/emf_pages.h"
#include "core/globals.h"
#include "core/report/page.h"
#include "core/report/report.h"
#include "base/atomic_file.h"
#include "base/file_stream.h"
#include "base/text_util.h"
#include "render/painter_canvas.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QStringList>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>

namespace kvcli {

namespace {

constexpr double kMaxZoom = 16.0;
// A rendered page is held whole in memory as 32-bit pixels.
constexpr qint64 kMaxRenderPixels = 120'000'000;
constexpr int kPdfResolution = 600;
// PDF pages are limited to 200 inches a side; anything below a millimetre is not a page.
constexpr double kMinPaperMm = 1.0;
constexpr double kMaxPaperMm = 5080.0;

CommandResult Failure(const QString& subject, const QString& message, int code = 1) {
    CommandResult r;
    r.ExitCode = code;
    QString line = subject.isEmpty() ? message : subject + QStringLiteral(": ") + message;
    line.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    r.Error = line.toUtf8();
    return r;
}

QString What(const std::exception& e) {
    return QString::fromUtf8(e.what()).trimmed();
}

enum class OutputFormat { Png, Pdf, Unknown };

OutputFormat FormatOf(const QString& path) {
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == u"png") return OutputFormat::Png;
    if (ext == u"pdf") return OutputFormat::Pdf;
    return OutputFormat::Unknown;
}

// Draws one page of the store onto a canvas whose page occupies pageRect, then lets the page go
// again so that a long report never holds more than one unpacked page.
void DrawOnePage(TkvEMFPages& store, int index, TkvCanvas& canvas, const QRect& pageRect) {
    PreparedPageInfo& info = store.PageInfo(index);
    info.PageVisible = 1;
    struct Release {
        TkvEMFPages& store;
        int index;
        ~Release() {
            store.ReleasePage(index);
            store.PageInfo(index).PageVisible = 0;
        }
    } release{store, index};
    store.DrawPage(index, canvas, PageContentRect(info, pageRect));
}

QPageLayout PdfPageLayout(QSizeF mm) {
    // QPageSize describes the paper upright; a wider than high page is that paper turned.
    const bool landscape = mm.width() > mm.height();
    const QSizeF upright = landscape ? mm.transposed() : mm;
    return QPageLayout(QPageSize(upright, QPageSize::Millimeter, QString(), QPageSize::ExactMatch),
                       landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
}

// Writes the pages `indexes` of the store as a PDF at `out`; `scale` enlarges every page.
CommandResult WritePdf(TkvEMFPages& store, const std::vector<int>& indexes, double scale, const QString& in,
                       const QString& out) {
    std::optional<TkvAtomicFile> file;
    try {
        file.emplace(out);
    } catch (const TkvFileError& e) {
        return Failure({}, What(e));
    }
    {
        QPdfWriter writer(&file->Device());
        writer.setResolution(kPdfResolution);
        writer.setCreator(QStringLiteral("KV Viewer"));
        writer.setTitle(QFileInfo(in).completeBaseName());
        const auto layoutOf = [&](int index) {
            const QSizeF mm = PagePaperMillimetres(store.PageInfo(index));
            return PdfPageLayout(mm * scale);
        };
        writer.setPageLayout(layoutOf(indexes.front()));
        QPainter painter;
        if (!painter.begin(&writer)) return Failure(out, QStringLiteral("cannot be written"));
        for (size_t i = 0; i < indexes.size(); ++i) {
            if (i > 0) {
                writer.setPageLayout(layoutOf(indexes[i]));
                if (!writer.newPage()) return Failure(out, QStringLiteral("cannot be written"));
            }
            try {
                TkvPainterCanvas canvas(painter);
                DrawOnePage(store, indexes[i], canvas, QRect(0, 0, writer.width(), writer.height()));
            } catch (const std::exception& e) {
                painter.end();
                return Failure(in, QStringLiteral("page %1: %2").arg(indexes[i] + 1).arg(What(e)));
            }
        }
        if (!painter.end()) return Failure(out, QStringLiteral("cannot be written"));
    }
    try {
        file->Commit();
    } catch (const TkvFileError& e) {
        return Failure({}, What(e));
    }
    return {};
}

CommandResult WritePng(TkvEMFPages& store, int index, double zoom, const QString& in, const QString& out) {
    const PreparedPageInfo& info = store.PageInfo(index);
    const qint64 w = kv::RoundEven(info.Metrics.PageWidth * zoom);
    const qint64 h = kv::RoundEven(info.Metrics.PageHeight * zoom);
    if (w <= 0 || h <= 0 || w > 32767 || h > 32767 || w * h > kMaxRenderPixels)
        return Failure(in, QStringLiteral("page %1 at zoom %2 would be %3 x %4 pixels, too large to render")
                               .arg(index + 1)
                               .arg(zoom)
                               .arg(w)
                               .arg(h));
    QImage image(int(w), int(h), QImage::Format_RGB32);
    if (image.isNull())
        return Failure(in, QStringLiteral("not enough memory to render page %1").arg(index + 1));
    constexpr int kDotsPerMeterAt96Dpi = 3780;
    image.setDotsPerMeterX(kDotsPerMeterAt96Dpi);
    image.setDotsPerMeterY(kDotsPerMeterAt96Dpi);
    image.fill(Qt::white);
    try {
        TkvPainterCanvas canvas(&image, TkvPainterCanvas::Options{96, 96, 0});
        DrawOnePage(store, index, canvas, image.rect());
    } catch (const std::exception& e) {
        return Failure(in, QStringLiteral("page %1: %2").arg(index + 1).arg(What(e)));
    }
    try {
        TkvAtomicFile file(out);
        if (!image.save(&file.Device(), "PNG")) return Failure(out, QStringLiteral("cannot be written"));
        file.Commit();
    } catch (const TkvFileError& e) {
        return Failure({}, What(e));
    }
    return {};
}

// Loads the prepared report; on failure fills `failure`.
bool LoadReport(TkvReport& report, const QString& in, CommandResult& failure) {
    try {
        report.LoadPreparedFile(in);
    } catch (const std::exception& e) {
        failure = Failure(in, What(e));
        return false;
    }
    if (report.EMFPages.Count() == 0) {
        failure = Failure(in, QStringLiteral("the report has no pages"));
        return false;
    }
    return true;
}

} // namespace

QRect PageContentRect(const PreparedPageInfo& info, const QRect& pageRect) {
    if (info.UseMargins || !info.HasPageArea()) return pageRect;
    const TkvPageMetrics& m = info.Metrics;
    const double kx = double(pageRect.width()) / m.PageWidth;
    const double ky = double(pageRect.height()) / m.PageHeight;
    const int left = pageRect.left() + kv::RoundEven((double(m.OffsetLeft) + info.Margins.Left) * kx);
    const int top = pageRect.top() + kv::RoundEven((double(m.OffsetTop) + info.Margins.Top) * ky);
    const int width = kv::RoundEven((double(m.PrintableWidth) - info.Margins.Left - info.Margins.Right) * kx);
    const int height =
        kv::RoundEven((double(m.PrintableHeight) - info.Margins.Top - info.Margins.Bottom) * ky);
    return QRect(left, top, std::max(width, 0), std::max(height, 0));
}

QSizeF PagePaperMillimetres(const PreparedPageInfo& info) {
    const auto clampMm = [](double mm) { return std::clamp(mm, kMinPaperMm, kMaxPaperMm); };
    const bool wideByGeometry = info.Metrics.PageWidth > info.Metrics.PageHeight;
    if (info.PaperWidth > 0 && info.PaperHeight > 0) {
        QSizeF mm(info.PaperWidth / 10.0, info.PaperHeight / 10.0);
        // The stored paper and the drawn page must agree on which way the page is turned.
        if (info.HasPageArea() && (mm.width() > mm.height()) != wideByGeometry && mm.width() != mm.height())
            mm.transpose();
        return QSizeF(clampMm(mm.width()), clampMm(mm.height()));
    }
    // 18 page units are 5 mm.
    return QSizeF(clampMm(info.Metrics.PageWidth * 5.0 / 18.0),
                  clampMm(info.Metrics.PageHeight * 5.0 / 18.0));
}

CommandResult Render(const QString& in, int page, double zoom, const QString& out) {
    StartLibrary();
    const OutputFormat format = FormatOf(out);
    if (format == OutputFormat::Unknown)
        return Failure(out, QStringLiteral("unknown output format (use .png or .pdf)"), 2);
    if (!(zoom > 0 && zoom <= kMaxZoom))
        return Failure({}, QStringLiteral("the zoom must be above 0 and at most %1").arg(kMaxZoom), 2);
    TkvReport report;
    CommandResult failure;
    if (!LoadReport(report, in, failure)) return failure;
    TkvEMFPages& store = report.EMFPages;
    if (page < 1 || page > store.Count())
        return Failure(
            in, QStringLiteral("there is no page %1 (the report has %2)").arg(page).arg(store.Count()));
    if (!store.PageInfo(page - 1).HasPageArea())
        return Failure(in, QStringLiteral("page %1 has no usable paper size").arg(page));
    if (format == OutputFormat::Png) return WritePng(store, page - 1, zoom, in, out);
    return WritePdf(store, {page - 1}, zoom, in, out);
}

CommandResult ConvertToPdf(const QString& in, const QString& out) {
    StartLibrary();
    TkvReport report;
    CommandResult failure;
    if (!LoadReport(report, in, failure)) return failure;
    TkvEMFPages& store = report.EMFPages;
    std::vector<int> indexes;
    for (int i = 0; i < store.Count(); ++i) {
        if (!store.PageInfo(i).HasPageArea())
            return Failure(in, QStringLiteral("page %1 has no usable paper size").arg(i + 1));
        indexes.push_back(i);
    }
    return WritePdf(store, indexes, 1.0, in, out);
}

CommandResult RenderFromArguments(const QStringList& args) {
    const auto usage = [](const QString& why) { return Failure(QStringLiteral("render"), why, 2); };
    QString in, out;
    std::optional<int> page;
    double zoom = 1.0;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == u"--page" || a == u"-p") {
            bool ok = false;
            if (hasValue) page = args[++i].toInt(&ok);
            if (!ok) return usage(QStringLiteral("--page needs a page number"));
        } else if (a == u"--zoom" || a == u"-z") {
            bool ok = false;
            if (hasValue) zoom = args[++i].toDouble(&ok);
            if (!ok) return usage(QStringLiteral("--zoom needs a number (1 is 100%)"));
        } else if (a == u"-o" || a == u"--output") {
            if (!hasValue) return usage(QStringLiteral("-o needs an output file"));
            out = args[++i];
        } else if (a.startsWith(u'-') && a.size() > 1) {
            return usage(QStringLiteral("unknown option %1").arg(a));
        } else if (in.isEmpty()) {
            in = a;
        } else {
            return usage(QStringLiteral("more than one input file"));
        }
    }
    if (in.isEmpty() || out.isEmpty()) return usage(QStringLiteral("an input file and -o OUT are required"));
    return Render(in, page.value_or(1), zoom, out);
}

} // namespace kvcli
