// Dialog pages shown as modal Qt dialogs before a build: the form has the page's caption and
// controls, OK builds the report with what the page's script set, Cancel (or closing the form)
// builds nothing.
#include "app/dialog_page_window.h"
#include "app/report_preparation.h"
#include "base/constants.h"
#include "core/views/control.h"
#include "engine/build_fixture.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using kvtest::BuildFixture;

namespace {

// Answers the dialog page's form once it is up, the way a user would.
class Answer {
public:
    enum How { Ok, Cancel, Close };
    explicit Answer(How how) {
        QObject::connect(&poll_, &QTimer::timeout, [this, how] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* form = qobject_cast<QDialog*>(w);
                if (!form || form->objectName() != "kvDialogPage" || !form->isVisible()) continue;
                poll_.stop();
                Title = form->windowTitle();
                if (auto* control = form->findChild<QLabel*>("kvControl_ShopEdit")) {
                    ControlShown = control->isVisible();
                    ControlGeometry = control->geometry();
                }
                auto* buttons = form->findChild<QDialogButtonBox*>("kvDialogButtons");
                ButtonsInside = buttons && form->rect().contains(buttons->geometry());
                if (how == Close) {
                    form->close();
                } else if (buttons) {
                    QTest::mouseClick(buttons->button(how == Ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel),
                                      Qt::LeftButton);
                }
                return;
            }
        });
        poll_.start(5);
    }
    QString Title;
    bool ControlShown = false;
    QRect ControlGeometry;
    bool ButtonsInside = false;

private:
    QTimer poll_;
};

TEST(DialogPageWindow, OkBuildsTheReportCancelOrClosingBuildsNothing) {
    struct Case {
        const char* what;
        Answer::How how;
        bool built;
    } cases[] = {{"OK", Answer::Ok, true}, {"Cancel", Answer::Cancel, false}, {"closed", Answer::Close, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BuildFixture f;
        f.AddBand(kvbt::Title, 20, 20, "Title");
        f.AddText(20, 20, 200, 18, "Shop [Shop]");
        f.vars.push_back({"Shop", TkvVariant(QByteArray("none"))});
        auto dialog = std::make_unique<TkvPage>(9, 0, 0, -1, 0);
        dialog->PageType = kvpt::Dialog;
        dialog->Name = "Ask";
        dialog->Caption = "Which shop?";
        dialog->Script = {"Shop := 'Corner'"};
        auto edit = std::make_unique<TkvControl>();
        edit->Name = "ShopEdit";
        edit->SetBounds(16, 24, 120, 21);
        dialog->Objects.push_back(std::move(edit));
        f.report.Pages.List.insert(f.report.Pages.List.begin(), std::move(dialog));

        Answer answer(c.how);
        TkvBuildResult result;
        const bool ok = kv::PrepareReport(f.report, [&](TkvReportBuilder& b) {
            for (const auto& [k, v] : f.vars) b.Variables.SetVariable(k, v);
        }, &result);
        EXPECT_EQ(answer.Title, "Which shop?");
        EXPECT_TRUE(answer.ControlShown);
        EXPECT_EQ(answer.ControlGeometry, QRect(16, 24, 120, 21));
        EXPECT_TRUE(answer.ButtonsInside);
        EXPECT_EQ(ok, c.built);
        EXPECT_EQ(result.DialogCancelled, !c.built);
        EXPECT_EQ(f.AllText().toStdString(), c.built ? "[Shop Corner]" : "");
    }
}

TEST(DialogPageWindow, AModalResultFromTheScriptClosesTheFormUnseen) {
    TkvPage page(9, 0, 0, -1, 0);
    page.PageType = kvpt::Dialog;
    TkvControl control;
    TkvDialogPage dialog{page, {&control}, [] { return int(kv::mrCancel); }};
    TkvDialogPageWindow window;
    bool seen = false;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "kvDialogPage" && w->isVisible()) {
                seen = true;
                w->close();
            }
    });
    EXPECT_EQ(window.ShowDialog(dialog), kv::mrCancel);
    QCoreApplication::processEvents();
    EXPECT_FALSE(seen);
}

} // namespace
