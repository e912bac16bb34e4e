// Starting the designer from the viewer: "New report" and "Open template..." in the File menu open
// designer windows, and closing the viewer asks before a designer's unsaved changes are lost.
#include "core/library_context.h"
#include "core/report/page.h"
#include "core/report/report.h"
#include "core/startup.h"
#include "designer/designer_form.h"
#include "designer/designer_registration.h"
#include "viewer/main_window.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Clicks `button` of the next message box.
void AnswerQuestion(QMessageBox::StandardButton button, QString* text = nullptr) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, button, text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        timer->stop();
        timer->deleteLater();
        if (text) *text = box->text();
        box->button(button)->click();
    });
    timer->start();
}

TEST(DesignerStart, FileMenuOpensDesignersAndClosingAsks) {
    kv::StartUp();
    TkvLibraryContext context;
    const TkvLibraryScope scope(context);
    TkvDesignerRegistration registration(context);
    ASSERT_TRUE(context.DesignerFactory);

    TfrmMain window;
    EXPECT_FALSE(window.Action("acNewReport")->isVisible());
    window.SetDesignerOpener([&registration](const QString& file) -> QMainWindow* {
        TkvDesignerForm* form = registration.OpenWindow(file);
        form->Options().EditAfterInsert = false;
        return form;
    });
    window.show();
    ASSERT_TRUE(window.Action("acNewReport")->isVisible());
    ASSERT_TRUE(window.Action("acOpenTemplate")->isVisible());
    window.Action("acNewReport")->trigger();
    ASSERT_EQ(window.DesignerWindows().size(), 1);
    auto* form = dynamic_cast<TkvDesignerForm*>(window.DesignerWindows().front());
    ASSERT_TRUE(form);
    EXPECT_EQ(form->Page()->ObjectCount(), 0);

    // Unsaved: closing the viewer asks; Cancel keeps both windows.
    form->SetTool(TkvDesignerTool::Insert, kvtag::Text);
    form->InsertObject(kvtag::Text, {10, 10, 100, 30});
    ASSERT_TRUE(form->IsModified());
    QString question;
    AnswerQuestion(QMessageBox::Cancel, &question);
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.DesignerWindows().size(), 1);
    EXPECT_EQ(question, "Save changes to Untitled?");
    // No: the designer goes without saving, then the viewer.
    AnswerQuestion(QMessageBox::No);
    EXPECT_TRUE(window.close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.DesignerWindows().isEmpty());

    // The designer made through the factory, as the report component does, is the same window.
    TkvReport report;
    std::unique_ptr<TkvReportDesignerHost> host = context.DesignerFactory(report, TkvDesignerMode::PreparedPage);
    auto* prepared = dynamic_cast<TkvDesignerForm*>(host.get());
    ASSERT_TRUE(prepared);
    EXPECT_FALSE(prepared->Action("acSave")->isEnabled());
    EXPECT_FALSE(prepared->Action("acAddPage")->isEnabled());
    EXPECT_FALSE(prepared->Action("acPreview")->isEnabled());
}

} // namespace
