// Painting the page area on real widgets at the screen's device pixel ratio (the tests also run with
// QT_SCALE_FACTOR=2): the whole page is drawn, fills included; a damaged page is shown as such.
#include "core/report/report.h"
#include "core/startup.h"
#include "core/store/emf_pages.h"
#include "preview/page_box.h"
#include "preview/preview_form.h"
#include "support/kvp_builder.h"

#include <QImage>
#include <QLabel>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// One A4 page whose table cells are filled green (colour values hold red in the low byte).
QByteArray FilledTablePage() {
    kvpfile::PackedPage page;
    for (int row = 0; row < 20; ++row) {
        for (int col = 0; col < 4; ++col) {
            kvpfile::CommonRecord cell;
            cell.Name = "Cell" + QByteArray::number(row * 4 + col);
            cell.Left = 40 + col * 170, cell.Top = 90 + row * 40, cell.Width = 170, cell.Height = 40;
            cell.FillColor = 0x00C000;
            page.Text(cell);
        }
    }
    return page.Data();
}

QString WritePages(const QTemporaryDir& dir, const std::vector<QByteArray>& pages) {
    kvpfile::FileSpec f;
    for (const QByteArray& data : pages) {
        kvpfile::PageSpec p;
        p.Data = data;
        f.Pages.push_back(p);
    }
    const QString path = dir.filePath("paint.kvp");
    QFile out(path);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(kvpfile::BuildKvp(f));
    return path;
}

class PagePaint : public ::testing::Test {
protected:
    static void SetUpTestSuite() { kv::StartUp(); }
    void Open(const std::vector<QByteArray>& pages) {
        TkvPreviewForm::LastZoom = 1.0;
        TkvPreviewForm::LastZoomMode = TkvPreviewZoom::pzDefault;
        report.LoadPreparedFile(WritePages(dir, pages));
        form.TakePages(&report);
        form.resize(900, 1200);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        form.ResetView(true);
    }
    void TearDown() override { form.ReturnPages(); }
    // The page box as the screen shows it, in device pixels.
    QImage Grab() {
        QCoreApplication::processEvents(); // what the window still has queued
        return form.PageBox()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    QTemporaryDir dir;
    TkvReport report;
    TkvPreviewForm form;
};

TEST_F(PagePaint, WholePageIsDrawnAtTheDevicePixelRatio) {
    Open({FilledTablePage()});
    const QImage img = Grab();
    const qreal dpr = img.devicePixelRatio();
    ASSERT_EQ(img.width(), qRound(form.PageBox()->width() * dpr));
    const QRect page = form.Pages()->PageInfo(0).PreviewRect.toQRect().translated(form.OffsetX, form.OffsetY);
    const QRect visible = page & form.PageBox()->rect();
    ASSERT_GT(visible.height(), 800);
    // Inside the page's border every device pixel is paper white or a cell's green; none is black.
    int white = 0, green = 0, other = 0;
    const QRect inner = QRect(visible.topLeft() * dpr, visible.bottomRight() * dpr).adjusted(4, 4, -4, -4);
    for (int y = inner.top(); y <= inner.bottom(); y += 3) {
        for (int x = inner.left(); x <= inner.right(); x += 3) {
            const QRgb c = img.pixel(x, y) & 0xFFFFFF;
            if (c == 0xFFFFFF) ++white;
            else if (c == 0x00C000) ++green;
            else ++other;
        }
    }
    EXPECT_EQ(other, 0) << "pixels neither paper nor fill at ratio " << dpr;
    EXPECT_GT(white, 0);
    EXPECT_GT(green, 0);
    // The bottom-right cell is filled too, not only the top-left part of the page.
    const QPoint lastCell = page.topLeft() + QPoint(qRound((40 + 3 * 170 + 85) * form.Zoom), qRound((90 + 19 * 40 + 20) * form.Zoom));
    EXPECT_EQ(img.pixel(lastCell * dpr) & 0xFFFFFF, 0x00C000u);
}

TEST_F(PagePaint, DamagedPageIsMarkedAndReported) {
    // The second page's objects are not a packed page at all.
    QStringList told;
    form.DamagedPage = [&told](const QString& m) { told << m; };
    Open({FilledTablePage(), QByteArray("\x19\x00\xff\xff\xff\x7f garbage", 14), FilledTablePage()});
    const int H = form.Pages()->PageInfo(0).PreviewRect.Height();
    form.VScrollBar()->setValue(H);
    const QImage img = Grab();
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].startsWith("Page 2 could not be read")) << told[0].toStdString();
    EXPECT_EQ(form.StatusLabel()->text(), told[0]);
    // The page is hatched in red, so that it is not taken for a blank page.
    const QRect page = form.Pages()->PageInfo(1).PreviewRect.toQRect().translated(form.OffsetX, form.OffsetY) &
                       form.PageBox()->rect();
    const qreal dpr = img.devicePixelRatio();
    int reddish = 0;
    const QRect sample(page.center() * dpr, QSize(100, 100) * dpr);
    for (int y = sample.top(); y <= sample.bottom(); ++y)
        for (int x = sample.left(); x <= sample.right(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c.red() > 150 && c.green() < 150) ++reddish;
        }
    EXPECT_GT(reddish, 100);
    // Painting again does not tell again.
    form.PageBox()->repaint();
    EXPECT_EQ(told.size(), 1);
}

} // namespace
