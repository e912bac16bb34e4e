#include "app/pdf_printout.h"

#include "base/atomic_file.h"
#include "base/text_util.h"
#include "core/store/emf_pages.h"
#include "render/painter_canvas.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <optional>
#include <stdexcept>

namespace kv {

namespace {

constexpr int kResolution = 600;
// Paper sizes from a file are held to what a PDF page can be.
constexpr double kMinPaperMm = 10, kMaxPaperMm = 5000;

QPageLayout LayoutOf(const PreparedPageInfo& info) {
    const auto clampMm = [](double mm) { return std::clamp(mm, kMinPaperMm, kMaxPaperMm); };
    const bool wide = info.Metrics.PageWidth > info.Metrics.PageHeight;
    QSizeF mm = info.PaperWidth > 0 && info.PaperHeight > 0
                    ? QSizeF(info.PaperWidth / 10.0, info.PaperHeight / 10.0)
                    : QSizeF(info.Metrics.PageWidth * 5.0 / 18.0, info.Metrics.PageHeight * 5.0 / 18.0);
    // The paper is described upright and turned when the drawn page is wider than high.
    if (mm.width() > mm.height()) mm.transpose();
    mm = QSizeF(clampMm(mm.width()), clampMm(mm.height()));
    return QPageLayout(QPageSize(mm, QPageSize::Millimeter, QString(), QPageSize::ExactMatch),
                       wide ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
}

// The rectangle the page's objects are drawn into: the whole sheet, or the printable area inside the
// margins for pages that are stretched to it.
QRect ContentRect(const PreparedPageInfo& info, const QRect& sheet) {
    const TkvPageMetrics& m = info.Metrics;
    if (info.UseMargins || m.PageWidth <= 0 || m.PageHeight <= 0) return sheet;
    const double kx = double(sheet.width()) / m.PageWidth;
    const double ky = double(sheet.height()) / m.PageHeight;
    const int left = RoundEven((double(m.OffsetLeft) + info.Margins.Left) * kx);
    const int top = RoundEven((double(m.OffsetTop) + info.Margins.Top) * ky);
    const int width = RoundEven((double(m.PrintableWidth) - info.Margins.Left - info.Margins.Right) * kx);
    const int height = RoundEven((double(m.PrintableHeight) - info.Margins.Top - info.Margins.Bottom) * ky);
    return QRect(left, top, std::max(width, 0), std::max(height, 0));
}

} // namespace

void PrintPagesToPdf(TkvEMFPages& pages, const std::vector<int>& indexes, const QString& path,
                     const QString& title) {
    if (indexes.empty()) throw std::runtime_error("There are no pages to print.");
    TkvAtomicFile file(path);
    {
        QPdfWriter writer(&file.Device());
        writer.setResolution(kResolution);
        writer.setCreator(QStringLiteral("KV Viewer"));
        writer.setTitle(title);
        writer.setPageLayout(LayoutOf(pages.PageInfo(indexes.front())));
        QPainter painter;
        if (!painter.begin(&writer))
            throw std::runtime_error(QStringLiteral("\"%1\" cannot be written.").arg(path).toStdString());
        for (size_t i = 0; i < indexes.size(); ++i) {
            const int index = indexes[i];
            PreparedPageInfo& info = pages.PageInfo(index);
            if (i > 0) {
                writer.setPageLayout(LayoutOf(info));
                writer.newPage();
            }
            info.PageVisible = 1;
            try {
                TkvPainterCanvas canvas(painter);
                pages.DrawPage(index, canvas, ContentRect(info, QRect(0, 0, writer.width(), writer.height())));
            } catch (const std::exception& e) {
                painter.end();
                pages.ReleasePage(index);
                info.PageVisible = 0;
                throw std::runtime_error(QStringLiteral("Page %1 could not be read: %2")
                                             .arg(index + 1)
                                             .arg(QString::fromLocal8Bit(e.what()))
                                             .toStdString());
            }
            // A long report never holds more than one unpacked page.
            pages.ReleasePage(index);
            info.PageVisible = 0;
        }
        if (!painter.end())
            throw std::runtime_error(QStringLiteral("\"%1\" cannot be written.").arg(path).toStdString());
    }
    file.Commit();
}

} // namespace kv
