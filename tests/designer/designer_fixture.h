#pragma once
// A designer window on an empty report in a library context of its own, driven by mouse and key
// events sent to its real widgets. Options come from a settings folder of the test's own.

#include "core/library_context.h"
#include "core/report/page.h"
#include "core/report/report.h"
#include "core/startup.h"
#include "core/views/band_view.h"
#include "core/views/view.h"
#include "core/views/view_factory.h"
#include "designer/designer_form.h"
#include "designer/designer_page.h"
#include "designer/designer_shared.h"

#include <QApplication>
#include <QDialog>
#include <QMouseEvent>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace designer_test {

// Sends a mouse event straight to the widget (local coordinates).
inline void Mouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons,
                  Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QMouseEvent e(type, QPointF(p), QPointF(w->mapToGlobal(p)), button, buttons, mods);
    QApplication::sendEvent(w, &e);
}

// Runs `answer` on the next modal dialog (or message box) once it is showing.
inline void AnswerNextDialog(std::function<void(QWidget*)> answer) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        timer->stop();
        timer->deleteLater();
        answer(modal);
    });
    timer->start();
}

class DesignerFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        kv::StartUp();
        static QTemporaryDir settingsDir;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
        QSettings::setDefaultFormat(QSettings::NativeFormat);
    }

    void SetUp() override {
        scope_ = std::make_unique<TkvLibraryScope>(context_);
        form_ = MakeForm(report_, shared_);
    }

    void TearDown() override {
        form_.reset();
        scope_.reset();
    }

    std::unique_ptr<TkvDesignerForm> MakeForm(TkvReport& report, TkvDesignerShared& shared) {
        auto form = std::make_unique<TkvDesignerForm>(report, TkvDesignerMode::Template, shared);
        TkvDesignerOptions& o = form->Options();
        o = TkvDesignerOptions{};
        o.EditAfterInsert = false;
        o.GridAlign = false;
        form->AskBandType = [this](const std::vector<int>& offered) {
            for (int t : offered)
                if (t == nextBandType_) return t;
            return -1;
        };
        form->AskPageOptions = [](TkvPage&) { return true; };
        form->resize(1100, 800);
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->Relayout();
        return form;
    }

    TkvDesignerPage* Surface() const { return form_->Surface(); }
    TkvPage* Page() const { return form_->Page(); }

    void Press(QPoint p, Qt::KeyboardModifiers mods = Qt::NoModifier, Qt::MouseButton b = Qt::LeftButton) {
        Mouse(Surface(), QEvent::MouseButtonPress, p, b, b, mods);
    }
    void MoveTo(QPoint p, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        Mouse(Surface(), QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton, mods);
    }
    void Hover(QPoint p) { Mouse(Surface(), QEvent::MouseMove, p, Qt::NoButton, Qt::NoButton); }
    void Release(QPoint p, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        Mouse(Surface(), QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton, mods);
    }
    void Drag(QPoint from, QPoint to, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        Hover(from);
        Press(from, mods);
        MoveTo(to, mods);
        Release(to, mods);
    }
    void Click(QPoint p, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        Press(p, mods);
        Release(p, mods);
    }
    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(Surface(), Qt::Key(key), mods); }

    // A view of the type at the rectangle, added straight to the page.
    TkvView* Add(uint8_t type, int l, int t, int w, int h, const QByteArray& name = {}) {
        std::unique_ptr<TkvView> v = kv::CreateViewByType(type, {});
        v->SetBounds(l, t, w, h);
        v->OwnerPage = Page();
        if (!name.isEmpty()) v->Name = name;
        else form_->MakeUnique(*v);
        TkvView* raw = v.get();
        Page()->Objects.push_back(std::move(v));
        return raw;
    }
    TkvBandView* AddBand(int type, int t, int h) {
        auto* b = static_cast<TkvBandView*>(Add(kvvt::Band, 0, t, 700, h));
        b->SetBandType(type);
        return b;
    }
    QRect RectOf(const TkvView* v) const { return QRect(v->Left, v->Top, v->Width, v->Height); }
    std::vector<TkvView*> Selected() const { return form_->SelectedViews(); }

    TkvLibraryContext context_;
    std::unique_ptr<TkvLibraryScope> scope_;
    TkvReport report_;
    TkvDesignerShared shared_;
    std::unique_ptr<TkvDesignerForm> form_;
    int nextBandType_ = kvbt::MasterData;
};

} // namespace designer_test
