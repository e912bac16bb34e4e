// The export options dialogs on real widgets: what they show, what they take back (however they
// close), "Better"/"Faster", the page range check, and that every control fits its dialog.
// KV_GRAB_DIR=<dir> saves each dialog as a PNG for looking at it.
#include "export/rtf_adv_export.h"
#include "export/rtf_export.h"
#include "export/text_export.h"
#include "export/xlsx_export.h"
#include "exportui/options_dialogs.h"
#include "exportui/table_options_dialog.h"
#include "exportui/text_options_dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Every visible control lies inside the dialog and shows its whole text.
void ExpectLaidOut(QDialog& d, const char* name) {
    d.show();
    QApplication::processEvents();
    const QRect inside = d.rect();
    for (QWidget* w : d.findChildren<QWidget*>()) {
        if (!w->isVisible() || qobject_cast<QGroupBox*>(w)) continue;
        const QRect r(w->mapTo(&d, QPoint(0, 0)), w->size());
        EXPECT_TRUE(inside.contains(r)) << name << ": " << w->objectName().toStdString() << " leaves the dialog";
        if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            EXPECT_GE(b->width(), b->sizeHint().width() - 1) << name << ": " << b->text().toStdString() << " is cut";
        }
    }
    if (const QByteArray dir = qgetenv("KV_GRAB_DIR"); !dir.isEmpty())
        d.grab().save(QString::fromLocal8Bit(dir) + "/" + name + ".png");
}

TEST(ExportOptionsDialogs, TextDialogShowsAndTakesBackTheOptions) {
    TkvTextExport f;
    f.ExportFrames = false;
    f.ScaleX = 1.5;
    TkvTXTExportForm d(f);
    EXPECT_EQ(d.windowTitle(), "TXT export options");
    EXPECT_EQ(d.E_ScaleX->text(), "1.5");
    EXPECT_FALSE(d.CB_Pseudo->isEnabled()); // only with frames
    d.CB_Frames->setChecked(true);
    EXPECT_TRUE(d.CB_Pseudo->isEnabled());
    ExpectLaidOut(d, "text");
    d.CB_Pseudo->setChecked(true);
    d.CB_KillEmpty->setChecked(false);
    d.E_ScaleX->setText("2,5");
    d.E_ScaleY->setText("abc"); // not a number: 1.0
    d.reject(); // taken back however it closes
    EXPECT_TRUE(f.ExportFrames);
    EXPECT_TRUE(f.UsePseudographic);
    EXPECT_FALSE(f.KillEmptyLines);
    EXPECT_DOUBLE_EQ(f.ScaleX, 2.5);
    EXPECT_DOUBLE_EQ(f.ScaleY, 1.0);
}

TEST(ExportOptionsDialogs, RtfDialogHasPicturesAndTable) {
    TkvRTFExport f;
    TkvTXTExportForm d(f);
    EXPECT_EQ(d.windowTitle(), "RTF export options");
    EXPECT_EQ(d.CB_OEM, nullptr);
    EXPECT_EQ(d.E_ScaleX->text(), "1.3");
    ExpectLaidOut(d, "rtf");
    d.CB_Pictures->setChecked(true);
    d.CB_Table->setChecked(true);
    d.accept();
    EXPECT_TRUE(f.ExportBitmaps);
    EXPECT_TRUE(f.ConvertToTable);
}

TEST(ExportOptionsDialogs, TableRtfDialogScalesInPercentAndPageRange) {
    TkvRtfAdvExport f;
    f.ScaleX = 1.257;
    TkvTableExpSet d(f, 5);
    EXPECT_EQ(d.windowTitle(), "Export to RTF");
    EXPECT_EQ(d.E_ScaleX->text(), "125");
    EXPECT_EQ(d.CB_Merged, nullptr); // the workbook's settings only
    ExpectLaidOut(d, "table_rtf");
    d.E_ScaleY->setText("50");
    d.E_Range->setText("2-3");
    d.CB_Pictures->setChecked(false);
    d.accept();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_DOUBLE_EQ(f.ScaleX, 1.25);
    EXPECT_DOUBLE_EQ(f.ScaleY, 0.5);
    EXPECT_FALSE(f.ExportPictures);
    EXPECT_EQ(f.PageList, (std::vector<int>{2, 3}));
}

TEST(ExportOptionsDialogs, WorkbookDialogBetterFasterAndBadRange) {
    TkvXlsxExport f;
    f.PageList = {1, 2, 3, 5};
    TkvTableExpSet d(f, 5);
    EXPECT_EQ(d.windowTitle(), "Export to Excel");
    EXPECT_EQ(d.E_Range->text(), "1-3,5");
    ExpectLaidOut(d, "workbook");
    d.Faster();
    EXPECT_TRUE(d.CB_Merged->isChecked() && d.CB_WrapWords->isChecked() && d.CB_PageBreaks->isChecked());
    EXPECT_FALSE(d.CB_HQ->isChecked() || d.CB_Borders->isChecked() || d.CB_Pictures->isChecked());
    d.Better();
    for (QCheckBox* b : {d.CB_Merged, d.CB_WrapWords, d.CB_HQ, d.CB_Borders, d.CB_PageBreaks, d.CB_Pictures})
        EXPECT_TRUE(b->isChecked()) << b->text().toStdString();
    // A malformed range keeps the dialog open (its message box is closed here) and changes nothing.
    d.E_Range->setText("1,,x");
    QTimer::singleShot(0, [] {
        if (QWidget* box = QApplication::activeModalWidget()) box->close();
    });
    d.accept();
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(f.PageList, (std::vector<int>{1, 2, 3, 5}));
    d.E_Range->setText("");
    d.CB_OpenExcel->setChecked(true);
    d.CB_HQ->setChecked(false);
    d.accept();
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(f.PageList.empty());
    EXPECT_TRUE(f.OpenExcelAfterExport);
    EXPECT_FALSE(f.HighQuality);
}

TEST(ExportOptionsDialogs, EachFilterObjectGetsItsOwnDialog) {
    // Two windows' filters of one class: each dialog edits its own filter.
    TkvRtfAdvExport a, b;
    kvexportui::InstallOptionsDialog(a, nullptr);
    kvexportui::InstallOptionsDialog(b, nullptr);
    ASSERT_TRUE(a.OptionsDialog && b.OptionsDialog);
    QTimer::singleShot(0, [] {
        auto* d = dynamic_cast<TkvTableExpSet*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        d->E_ScaleX->setText("200");
        d->accept();
    });
    EXPECT_EQ(b.ShowOptionsDialog(), kvmr::Ok);
    EXPECT_DOUBLE_EQ(b.ScaleX, 2.0);
    EXPECT_DOUBLE_EQ(a.ScaleX, 1.0);
    a.ShowDialog = false;
    EXPECT_EQ(a.ShowOptionsDialog(), kvmr::Ok); // no dialog without ShowDialog
}

} // namespace
