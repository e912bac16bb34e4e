// The page area on real widgets: layout rectangles and scroll ranges at each zoom mode, the zoom
// menu checks, page links, panning and double clicks.
#include "base/codepage.h"
#include "core/library_context.h"
#include "core/report/report.h"
#include "core/startup.h"
#include "core/store/emf_pages.h"
#include "preview/page_box.h"
#include "preview/preview_form.h"
#include "preview/separate_preview.h"
#include "support/kvp_builder.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A report of A4 pages whose first page holds links ("URL" objects) to pages 3, 99, a bare "@"
// and a text that is no number.
QString WriteLinkedReport(const QTemporaryDir& dir, int pages) {
    kvpfile::FileSpec f;
    for (int i = 0; i < pages; ++i) {
        kvpfile::PageSpec p;
        kvpfile::PackedPage packed;
        if (i == 0) {
            const char* tags[] = {"@3", "@99", "@", "@abc", "@0"};
            for (int k = 0; k < 5; ++k) {
                kvpfile::CommonRecord link;
                link.Name = "URL" + QByteArray::number(k + 1);
                link.Left = 100, link.Top = 100 + 40 * k, link.Width = 200, link.Height = 30;
                link.Tag = tags[k];
                link.Memo = {"link"};
                packed.Text(link);
            }
        }
        p.Data = packed.Data();
        f.Pages.push_back(p);
    }
    const QString path = dir.filePath("links.kvp");
    QFile out(path);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(kvpfile::BuildKvp(f));
    return path;
}

class PreviewArea : public ::testing::Test {
protected:
    static void SetUpTestSuite() { kv::StartUp(); }
    void SetUp() override {
        TkvPreviewForm::LastZoom = 1.0;
        TkvPreviewForm::LastZoomMode = TkvPreviewZoom::pzDefault;
        report.LoadPreparedFile(WriteLinkedReport(dir, 4));
        form.TakePages(&report);
        form.PageBox()->resize(1000, 700);
        form.ResetView(true);
    }
    void TearDown() override { form.ReturnPages(); }

    QTemporaryDir dir;
    TkvReport report;
    TkvPreviewForm form;
};

TEST_F(PreviewArea, A4AtOneHundredPercentInABoxOf1000By700) {
    const PreparedPageInfo& p0 = form.Pages()->PageInfo(0);
    const int W = p0.Metrics.PageWidth, H = p0.Metrics.PageHeight;
    ASSERT_GT(W, 700);
    ASSERT_LT(W, 800);
    // One page a row, centred; the next page starts 10 below.
    EXPECT_EQ(p0.PreviewRect, (TkvRect{(1000 - W) / 2, 10, (1000 - W) / 2 + W, 10 + H}));
    EXPECT_EQ(form.Pages()->PageInfo(1).PreviewRect.Top, 10 + H + 10);
    EXPECT_EQ(form.HScrollBar()->maximum(), 0);
    EXPECT_FALSE(form.HScrollBar()->isEnabled());
    EXPECT_EQ(form.VScrollBar()->maximum(), 4 * (H + 10) + 10 - 700 + 10 - 10);
    EXPECT_TRUE(form.MenuItem("N1001")->isChecked());
    EXPECT_EQ(form.ZoomCaption(), "100%");
    EXPECT_EQ(form.PageLabel()->text(), "Page 1/4");
}

// Page heights from a file at the highest zoom add up past int: pages stay in order, below each other.
TEST(PreviewLayout, TallPagesAtHighZoomStayInOrder) {
    kv::StartUp();
    QTemporaryDir dir;
    TkvReport report;
    report.LoadPreparedFile(WriteLinkedReport(dir, 150));
    for (int i = 0; i < report.EMFPages.Count(); ++i) {
        TkvPageMetrics& m = report.EMFPages.PageInfo(i).Metrics;
        m.PageWidth = 100;
        m.PageHeight = 200000;
    }
    TkvPreviewForm form;
    form.TakePages(&report);
    form.PageBox()->resize(1000, 700);
    form.ResetView(true);
    form.PickZoom(10000);
    int previousBottom = 0;
    for (int i = 0; i < form.Pages()->Count(); ++i) {
        const TkvRect& r = form.Pages()->PageInfo(i).PreviewRect;
        ASSERT_GE(r.Top, previousBottom) << "page " << i + 1;
        ASSERT_GE(r.Bottom, r.Top) << "page " << i + 1;
        previousBottom = r.Bottom;
    }
    EXPECT_GT(form.VScrollBar()->maximum(), 0);
    form.ReturnPages();
}

TEST_F(PreviewArea, ZoomModesAndTheirMenuChecks) {
    const int W = form.Pages()->PageInfo(0).Metrics.PageWidth;
    const int H = form.Pages()->PageInfo(0).Metrics.PageHeight;
    form.PickZoom(1);
    EXPECT_DOUBLE_EQ(form.Zoom, 980.0 / W);
    EXPECT_TRUE(form.MenuItem("N1")->isChecked());
    form.PickZoom(2);
    EXPECT_DOUBLE_EQ(form.Zoom, 680.0 / H);
    EXPECT_TRUE(form.MenuItem("N2")->isChecked());
    form.PickZoom(3);
    EXPECT_DOUBLE_EQ(form.Zoom, 970.0 / (2 * W));
    // Two pages a row whatever their widths.
    EXPECT_EQ(form.Pages()->PageInfo(1).PreviewRect.Top, 10);
    EXPECT_EQ(form.Pages()->PageInfo(2).PreviewRect.Left, 10);
    form.PickZoom(75);
    EXPECT_TRUE(form.MenuItem("N751")->isChecked());
    EXPECT_EQ(form.ZoomCaption(), "75%");
    // At 25 % several pages fit a row.
    form.PickZoom(25);
    EXPECT_EQ(form.Pages()->PageInfo(1).PreviewRect.Top, 10);
    // The choice is remembered for the next preview.
    EXPECT_EQ(TkvPreviewForm::LastZoom, 0.25);
}

TEST_F(PreviewArea, PageLinksJumpOnlyToPagesThatExist) {
    const TkvRect r = form.Pages()->PageInfo(0).PreviewRect;
    auto clickLink = [&](int k) {
        form.SetCurrentPage(1);
        form.PageBox()->Dragging = false;
        QTest::mouseClick(form.PageBox(), Qt::LeftButton, {}, QPoint(r.Left + 150, r.Top + 110 + 40 * k));
        return form.CurrentPage;
    };
    EXPECT_EQ(clickLink(0), 3);  // "@3"
    EXPECT_EQ(clickLink(1), 1);  // "@99" in a 4-page report
    EXPECT_EQ(clickLink(2), 1);  // "@"
    EXPECT_EQ(clickLink(3), 1);  // "@abc"
    form.CurrentPage = 2;
    QTest::mouseClick(form.PageBox(), Qt::LeftButton, {}, QPoint(r.Left + 150, r.Top + 110 + 160));
    EXPECT_EQ(form.CurrentPage, 1); // "@0" goes to page 1
    EXPECT_FALSE(form.PageBox()->Dragging) << "a handled link starts no drag";

    // Hovering over a link shows its target.
    QMouseEvent hover(QEvent::MouseMove, QPointF(r.Left + 150, r.Top + 110), QPointF(), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(form.PageBox(), &hover);
    EXPECT_EQ(form.StatusLabel()->text(), "Page 3");
    // It goes when the mouse leaves the link: off the pages, or out of the box.
    QMouseEvent gap(QEvent::MouseMove, QPointF(r.Left - 5, r.Top + 110), QPointF(), Qt::NoButton,
                    Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form.PageBox(), &gap);
    EXPECT_EQ(form.StatusLabel()->text(), "");
    QCoreApplication::sendEvent(form.PageBox(), &hover);
    EXPECT_EQ(form.StatusLabel()->text(), "Page 3");
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(form.PageBox(), &leave);
    EXPECT_EQ(form.StatusLabel()->text(), "");
}

TEST_F(PreviewArea, DraggingPansTheView) {
    const TkvRect r = form.Pages()->PageInfo(0).PreviewRect;
    const QPoint start(r.Left + 500, r.Top + 600);
    QTest::mousePress(form.PageBox(), Qt::LeftButton, {}, start);
    EXPECT_TRUE(form.PageBox()->Dragging);
    QMouseEvent move(QEvent::MouseMove, QPointF(start - QPoint(0, 300)), QPointF(), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(form.PageBox(), &move);
    EXPECT_EQ(form.VScrollBar()->value(), 300);
    EXPECT_EQ(form.OffsetY, -300);
    QTest::mouseRelease(form.PageBox(), Qt::LeftButton, {}, start - QPoint(0, 300));
    EXPECT_FALSE(form.PageBox()->Dragging);

    // A double click never starts a drag.
    QTest::mouseDClick(form.PageBox(), Qt::LeftButton, {}, start);
    EXPECT_FALSE(form.PageBox()->Dragging);
}

TEST_F(PreviewArea, ScrollingFollowsTheCurrentPageAndReleasesHiddenPages) {
    const int H = form.Pages()->PageInfo(0).Metrics.PageHeight;
    form.VScrollBar()->setValue(2 * (H + 10) + 5);
    EXPECT_EQ(form.CurrentPage, 3);
    EXPECT_EQ(form.PageLabel()->text(), "Page 3/4");
    // Painting draws only what is in view; pages out of view keep no unpacked objects.
    form.PageBox()->repaint();
    QImage img(form.PageBox()->size(), QImage::Format_RGB32);
    form.PageBox()->render(&img);
    EXPECT_FALSE(form.Pages()->PageInfo(0).PageVisible);
    EXPECT_EQ(form.Pages()->PageInfo(0).Page, nullptr);
    EXPECT_TRUE(form.Pages()->PageInfo(2).PageVisible);
}

} // namespace

namespace {

// Sets the code page of the default character set for one test.
struct DefaultCodePageGuard {
    explicit DefaultCodePageGuard(const QByteArray& name) { EXPECT_TRUE(kv::SetDefaultCodePage(name)); }
    ~DefaultCodePageGuard() { kv::SetDefaultCodePage({}); }
};

// The window title and link targets are report texts: decoded in the report's character set.
TEST(SeparatePreview, TitleAndLinksDecodeInTheReportCharacterSet) {
    kv::StartUp();
    const TkvSetForScope<std::function<void(TkvReport&)>> hook(kv::Library().SeparatePreview, nullptr);
    kv::InstallSeparatePreview();
    DefaultCodePageGuard cyrillic("windows-1251");
    QTemporaryDir dir;
    TkvReport report;
    report.LoadPreparedFile(WriteLinkedReport(dir, 1));
    TkvView& link = *report.EMFPages.UnpackPage(0).Objects[3];
    ASSERT_EQ(link.Tag, "@abc");
    link.Tag = "\xCF\xF0\xE8\xEC\xE5\xF0"; // a link to a place named in Cyrillic
    report.EMFPages.PackPage(0);
    report.EMFPages.ReleasePage(0);
    report.Title = "\xCE\xF2\xF7\xE5\xF2";
    report.ModalPreview = false;
    report.ShowPreparedPages();
    TkvPreviewForm* window = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* f = dynamic_cast<TkvPreviewForm*>(w); f && f->isVisible()) window = f;
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Preview - Отчет"));
    window->PageBox()->resize(1000, 700);
    window->PickZoom(100);
    const TkvRect r = window->Pages()->PageInfo(0).PreviewRect;
    QMouseEvent hover(QEvent::MouseMove, QPointF(r.Left + 150, r.Top + 110 + 120), QPointF(), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window->PageBox(), &hover);
    EXPECT_EQ(window->StatusLabel()->text(), QString::fromUtf8("Пример"));
    window->close();
}

TEST(SeparatePreview, ReportWithoutControlShowsItsOwnWindowAndGetsItsPagesBack) {
    kv::StartUp();
    const TkvSetForScope<std::function<void(TkvReport&)>> hook(kv::Library().SeparatePreview, nullptr);
    kv::InstallSeparatePreview();
    QTemporaryDir dir;
    TkvReport report;
    report.LoadPreparedFile(WriteLinkedReport(dir, 3));
    report.Title = "Sales";
    report.ModalPreview = false;
    report.ShowPreparedPages();
    TkvPreviewForm* window = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* f = dynamic_cast<TkvPreviewForm*>(w); f && f->isVisible()) window = f;
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "Preview - Sales");
    EXPECT_EQ(window->PageCount(), 3);
    EXPECT_EQ(report.EMFPages.Count(), 0) << "the window holds the pages while it shows them";
    window->close();
    EXPECT_EQ(report.EMFPages.Count(), 3);
}

} // namespace

namespace {

QWheelEvent Wheel(QWidget* w, QPoint pixelDelta, QPoint angleDelta, Qt::KeyboardModifiers mods = {}) {
    const QPointF at(w->width() / 2, w->height() / 2);
    return QWheelEvent(at, w->mapToGlobal(at), pixelDelta, angleDelta, Qt::NoButton, mods, Qt::NoScrollPhase,
                       false);
}

TEST_F(PreviewArea, TouchpadAndHighResolutionWheelsScroll) {
    form.PickZoom(200);
    QScrollBar* v = form.VScrollBar();
    QScrollBar* h = form.HScrollBar();
    v->setValue(500);
    h->setValue(100);
    struct Case {
        const char* what;
        QPoint pixels, angle;
        int repeat;
        int dx, dy; // scroll bar movement expected in all
    };
    const Case cases[] = {
        {"five fifths of a notch down", {}, {0, -24}, 5, 0, 10},
        {"a notch up", {}, {0, 120}, 1, 0, -10},
        {"three eighths of a notch, twice (no step yet is lost)", {}, {0, -45}, 2, 0, 7},
        {"pixel distances where given", {0, -37}, {0, -8}, 1, 0, 37},
        {"a horizontal wheel", {}, {-120, 0}, 1, 10, 0},
        {"horizontal touchpad pixels", {25, 0}, {}, 2, -50, 0},
    };
    for (const Case& c : cases) {
        const int v0 = v->value(), h0 = h->value();
        for (int i = 0; i < c.repeat; ++i) {
            QWheelEvent e = Wheel(form.PageBox(), c.pixels, c.angle);
            QCoreApplication::sendEvent(form.PageBox(), &e);
        }
        EXPECT_EQ(v->value() - v0, c.dy) << c.what;
        EXPECT_EQ(h->value() - h0, c.dx) << c.what;
    }
}

TEST_F(PreviewArea, CtrlWheelAndZoomStepsZoom) {
    QWheelEvent in = Wheel(form.PageBox(), {}, {0, 120}, Qt::ControlModifier);
    QCoreApplication::sendEvent(form.PageBox(), &in);
    EXPECT_EQ(form.ZoomCaption(), "125%");
    form.ZoomBySteps(-2);
    EXPECT_EQ(form.ZoomCaption(), "75%");
    // From a fit zoom between steps, one step goes to the neighbouring step.
    form.PickZoom(1);
    const double fit = form.Zoom * 100;
    form.ZoomBySteps(1);
    EXPECT_GT(form.Zoom * 100, fit);
    form.PickZoom(1);
    form.ZoomBySteps(-1);
    EXPECT_LT(form.Zoom * 100, fit);
    EXPECT_EQ(form.ZoomMode, TkvPreviewZoom::pzDefault);
    form.ZoomBySteps(-100);
    EXPECT_EQ(form.ZoomCaption(), "10%");
}

// The last page is small, so at the end of the scroll range it sits below the line that picks the
// current page.
TEST(PreviewEnd, LastPageIsCurrentAtTheEndOfTheScrollRange) {
    kv::StartUp();
    TkvPreviewForm::LastZoom = 1.0;
    TkvPreviewForm::LastZoomMode = TkvPreviewZoom::pzDefault;
    QTemporaryDir dir;
    kvpfile::FileSpec f;
    for (int i = 0; i < 4; ++i) {
        kvpfile::PageSpec p;
        if (i == 3) p.PaperSize = 256, p.PaperWidth = 1000, p.PaperHeight = 600;
        f.Pages.push_back(p);
    }
    QFile out(dir.filePath("small-last.kvp"));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(kvpfile::BuildKvp(f));
    out.close();
    TkvReport report;
    report.LoadPreparedFile(out.fileName());
    TkvPreviewForm form;
    form.TakePages(&report);
    form.PageBox()->resize(1000, 700);
    form.ResetView(true);
    ASSERT_LT(form.Pages()->PageInfo(3).PreviewRect.Height(), 600);

    form.SetCurrentPage(form.PageCount());
    EXPECT_EQ(form.CurrentPage, 4);
    EXPECT_EQ(form.PageLabel()->text(), "Page 4/4");
    form.SetCurrentPage(1);
    form.VScrollBar()->setValue(form.VScrollBar()->maximum());
    EXPECT_EQ(form.CurrentPage, 4) << "scrolled to the end";
    // Asking for page 3 at the end of the range keeps page 3.
    form.SetCurrentPage(3);
    EXPECT_EQ(form.CurrentPage, 3);
    form.ReturnPages();
}

} // namespace
