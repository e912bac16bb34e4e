// Document commands on real windows: opening files that fail, Save As with the real save dialog,
// commands that need pages, and the command state while another application has the focus.
#include "app/print_commands.h"
#include "core/startup.h"
#include "preview/page_box.h"
#include "preview/preview.h"
#include "preview/preview_form.h"
#include "preview/save_file_dialog.h"
#include "print/print_dialog.h"
#include "support/kvp_builder.h"
#include "viewer/child_window.h"
#include "viewer/main_window.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>
#include <gtest/gtest.h>

namespace {

QString WriteReport(const QString& path, int pages) {
    kvpfile::FileSpec f;
    for (int i = 0; i < pages; ++i) {
        kvpfile::PageSpec p;
        p.Data = kvpfile::RealisticPage(i + 1, 12);
        f.Pages.push_back(p);
    }
    QFile out(path);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(kvpfile::BuildKvp(f));
    return path;
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Answers the modal dialogs a command opens, in order: each step gets the modal widget and returns
// true when it dealt with it. What the steps saw is kept for the test.
class ModalScript {
public:
    using Step = std::function<bool(QWidget*)>;
    explicit ModalScript(std::deque<Step> steps) : steps_(std::move(steps)) {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || steps_.empty() || !modal->isVisible()) return;
            if (steps_.front()(modal)) steps_.pop_front();
        });
        timer_.start();
    }
    bool Done() const { return steps_.empty(); }

private:
    std::deque<Step> steps_;
    QTimer timer_;
};

// A step typing a name into the save dialog and accepting it.
ModalScript::Step TypeFileName(const QString& name) {
    return [name](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        if (!dialog) return false;
        auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
        if (!edit) return false;
        edit->setText(name);
        QMetaObject::invokeMethod(dialog, "accept");
        return true;
    };
}

ModalScript::Step CancelFileDialog() {
    return [](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        if (!dialog) return false;
        dialog->reject();
        return true;
    };
}

ModalScript::Step AnswerQuestion(QStringList* seen, QMessageBox::StandardButton answer) {
    return [seen, answer](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box) return false;
        *seen << box->text();
        box->button(answer)->click();
        return true;
    };
}

class DocumentCommands : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        kv::StartUp();
        // Recent files and remembered pages go to a test folder, not the user's.
        QStandardPaths::setTestModeEnabled(true);
        QApplication::setOrganizationName("KavoraTest");
    }
    void SetUp() override {
        window.resize(900, 700);
        window.show();
    }
    TfrmChild* Current() {
        QMdiSubWindow* sub = window.MdiArea()->currentSubWindow();
        return sub ? dynamic_cast<TfrmChild*>(sub->widget()) : nullptr;
    }
    void RunUntil(const ModalScript& script, const std::function<void()>& command) {
        command();
        static_cast<void>(QTest::qWaitFor([&] { return script.Done(); }, 2000));
    }

    QTemporaryDir dir;
    TfrmMain window;
};

TEST_F(DocumentCommands, FailedOpenShowsTheErrorAndLeavesNothingBehind) {
    const QString missing = dir.filePath("missing.kvp");
    window.OpenPendingFile(missing);
    ASSERT_NE(window.LastErrorBox(), nullptr);
    EXPECT_TRUE(window.LastErrorBox()->text().contains(missing)) << window.LastErrorBox()->text().toStdString();
    EXPECT_TRUE(window.LastErrorBox()->isVisible());
    EXPECT_TRUE(window.MdiArea()->subWindowList().isEmpty()) << "no empty window stays behind";
    window.ActionListUpdate();
    EXPECT_FALSE(window.Action("acSave")->isEnabled());
    EXPECT_FALSE(window.Action("acPrint")->isEnabled());
    window.LastErrorBox()->close();
}

TEST_F(DocumentCommands, DocumentWhoseReloadFailsShowsNothingOfTheOldReport) {
    const QString good = WriteReport(dir.filePath("good.kvp"), 3);
    QFile bad(dir.filePath("bad.kvp"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("\x19\x00 not a report");
    bad.close();
    window.OpenPendingFile(good);
    TfrmChild* child = Current();
    ASSERT_NE(child, nullptr);
    window.ActionListUpdate();
    EXPECT_TRUE(window.Action("acSave")->isEnabled());
    EXPECT_TRUE(window.Action("acPrint")->isEnabled());
    EXPECT_FALSE(window.Action("acEdit")->isEnabled()) << "no page editor exists";
    EXPECT_EQ(child->Preview().Form().PageLabel()->text(), "Page 1/3");

    EXPECT_FALSE(child->OpenFile(bad.fileName()));
    EXPECT_TRUE(child->LastError().contains(bad.fileName())) << child->LastError().toStdString();
    EXPECT_EQ(child->PageCount(), 0);
    EXPECT_EQ(child->Preview().Form().PageLabel()->text(), "");
    window.ActionListUpdate();
    for (const char* name : {"acSave", "acPrint", "acEdit", "acFind"})
        EXPECT_FALSE(window.Action(name)->isEnabled()) << name;
    EXPECT_TRUE(window.Action("acClose")->isEnabled());
    // The page area is plain: no white paper of the old report.
    QCoreApplication::processEvents(); // what the window still has queued
    const QImage img = child->Preview().Form().PageBox()->grab().toImage();
    const QColor centre = img.pixelColor(img.width() / 2, img.height() / 2);
    EXPECT_NE(centre, QColor(Qt::white));
}

TEST_F(DocumentCommands, SaveAsKeepsTheTypedNameAndAsksBeforeReplacing) {
    const QString report = WriteReport(dir.filePath("report.kvp"), 2);
    window.OpenPendingFile(report);
    ASSERT_NE(Current(), nullptr);
    const QByteArray other = "someone else's file";
    for (const char* name : {"Q3.final", "Q3.kvp"}) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(other);
    }
    QStringList questions;

    // The dialog offers the document's name in its folder.
    {
        QString offered, folder;
        ModalScript script({[&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            if (!dialog) return false;
            offered = dialog->findChild<QLineEdit*>("fileNameEdit")->text();
            folder = dialog->directory().absolutePath();
            dialog->reject();
            return true;
        }});
        RunUntil(script, [&] { window.Action("acSave")->trigger(); });
        EXPECT_TRUE(script.Done());
        EXPECT_EQ(offered, "report");
        EXPECT_EQ(folder, QDir(dir.path()).absolutePath());
    }

    // A name with another extension gets the report extension; nothing is replaced.
    {
        ModalScript script({TypeFileName(dir.filePath("Q3.final"))});
        RunUntil(script, [&] { window.Action("acSave")->trigger(); });
        EXPECT_TRUE(script.Done());
    }
    EXPECT_EQ(ReadAll(dir.filePath("Q3.final")), other);
    EXPECT_EQ(ReadAll(dir.filePath("Q3.final.kvp")), ReadAll(report));

    // An existing file: the user is asked; No goes back to the dialog, which is then cancelled.
    {
        ModalScript script({TypeFileName(dir.filePath("Q3.kvp")), AnswerQuestion(&questions, QMessageBox::No),
                            CancelFileDialog()});
        RunUntil(script, [&] { window.Action("acSave")->trigger(); });
        EXPECT_TRUE(script.Done());
    }
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].contains(dir.filePath("Q3.kvp"))) << questions[0].toStdString();
    EXPECT_EQ(ReadAll(dir.filePath("Q3.kvp")), other);

    // A name without extension that comes to an existing file asks too; Yes replaces it.
    {
        ModalScript script({TypeFileName(dir.filePath("Q3")), AnswerQuestion(&questions, QMessageBox::Yes)});
        RunUntil(script, [&] { window.Action("acSave")->trigger(); });
        EXPECT_TRUE(script.Done());
    }
    EXPECT_EQ(questions.size(), 2);
    EXPECT_EQ(ReadAll(dir.filePath("Q3.kvp")), ReadAll(report));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("Q3")));
}

TEST(SaveFileName, ExtensionOfTheChosenFilter) {
    struct Case {
        const char *name, *filter, *expected;
    };
    const Case cases[] = {
        {"/d/Q3", "Report file (*.kvp)", "/d/Q3.kvp"},
        {"/d/Q3.final", "Report file (*.kvp)", "/d/Q3.final.kvp"},
        {"/d/Q3.KVP", "Report file (*.kvp)", "/d/Q3.KVP"},
        {"/d/table.htm", "Web page (*.html *.htm)", "/d/table.htm"},
        {"/d/table", "Web page (*.html *.htm)", "/d/table.html"},
        {"/d/any", "All files (*)", "/d/any"},
    };
    for (const Case& c : cases) EXPECT_EQ(kv::WithFilterExtension(c.name, c.filter), c.expected) << c.name;
}

TEST_F(DocumentCommands, CommandsStayWhileAnotherApplicationHasTheFocus) {
    window.OpenPendingFile(WriteReport(dir.filePath("r.kvp"), 2));
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.ActionListUpdate();
    ASSERT_TRUE(window.Action("acSave")->isEnabled());
    // Another application takes the focus.
    QEvent away(QEvent::ApplicationDeactivate);
    QCoreApplication::sendEvent(qApp, &away);
    ASSERT_EQ(window.MdiArea()->activeSubWindow(), nullptr);
    window.ActionListUpdate();
    EXPECT_TRUE(window.Action("acSave")->isEnabled());
    EXPECT_TRUE(window.Action("acPrint")->isEnabled());
    QEvent back(QEvent::ApplicationActivate);
    QCoreApplication::sendEvent(qApp, &back);
}

TEST_F(DocumentCommands, StatusBarFollowsTheDocument) {
    window.OpenPendingFile(WriteReport(dir.filePath("five.kvp"), 5));
    TfrmChild* child = Current();
    ASSERT_NE(child, nullptr);
    window.ActionListUpdate();
    EXPECT_EQ(window.PageField()->value(), 1);
    EXPECT_EQ(window.PageField()->maximum(), 5);
    window.PageField()->setValue(4);
    EXPECT_EQ(child->CurrentPage(), 4);
    window.Action("acZoomIn")->trigger();
    EXPECT_EQ(window.ZoomLabel()->text(), "125%");
    window.Action("acActualSize")->trigger();
    EXPECT_EQ(window.ZoomLabel()->text(), "100%");
    // Keys of the document window.
    QTest::keyClick(child, Qt::Key_Plus);
    EXPECT_EQ(qRound(child->ZoomPercent()), 125);
    QTest::keyClick(child, Qt::Key_Minus);
    QTest::keyClick(child, Qt::Key_End);
    EXPECT_EQ(child->CurrentPage(), 5);
    QTest::keyClick(child, Qt::Key_Home);
    EXPECT_EQ(child->CurrentPage(), 1);
    const int before = child->Preview().Form().VScrollBar()->value();
    QTest::keyClick(child, Qt::Key_Space);
    EXPECT_GT(child->Preview().Form().VScrollBar()->value(), before + 100);
    QTest::keyClick(child, Qt::Key_Down);
    QTest::keyClick(child, Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_EQ(child->Preview().Form().VScrollBar()->value(), before + 30);
}

} // namespace

namespace {

TEST_F(DocumentCommands, WithoutAPrinterQueueThePagesGoToAPdfFile) {
    window.OpenPendingFile(WriteReport(dir.filePath("three.kvp"), 3));
    TfrmChild* child = Current();
    ASSERT_NE(child, nullptr);
    QStringList questions;
    const QString pdf = dir.filePath("printout");
    // The print dialog, its printer the PDF file, chooses pages 1 and 3 twice over.
    QString printer;
    ModalScript::Step choose = [&printer](QWidget* w) {
        auto* dialog = dynamic_cast<TkvPrintForm*>(w);
        if (!dialog) return false;
        printer = dialog->CB1->currentText();
        dialog->RB3->setChecked(true);
        dialog->E2->setText("1,3");
        dialog->E1->setText("2");
        dialog->Button1->click();
        return true;
    };
    ModalScript script({AnswerQuestion(&questions, QMessageBox::Yes), choose, TypeFileName(pdf)});
    bool written = false;
    RunUntil(script,
             [&] { written = kv::OfferPdfPrintout(*child->Preview().Form().Pages(), "three", &window, 2); });
    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(written);
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].contains("No printer")) << questions[0].toStdString();
    EXPECT_EQ(printer, "PDF file");
    const QByteArray bytes = ReadAll(pdf + ".pdf");
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "), 4)
        << "one sheet per page and copy";
    EXPECT_EQ(kv::PrintoutOrder({1, 2, 3}, 0, 2, true), (std::vector<int>{0, 1, 2, 0, 1, 2}));
    EXPECT_EQ(kv::PrintoutOrder({1, 2, 3}, 0, 2, false), (std::vector<int>{0, 0, 1, 1, 2, 2}));
    EXPECT_EQ(kv::PrintoutOrder({1, 2, 3, 4}, 2, 1, true), (std::vector<int>{1, 3}));
    // The pages stay with the window.
    EXPECT_EQ(child->PageCount(), 3);
}

} // namespace
