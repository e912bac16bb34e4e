#include "print/progress_form.h"

#include "core/locale.h"
#include "core/report/report.h"
#include "base/codepage.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <memory>

namespace {

constexpr int CancelTextId = 55001;
// The private start message: the first user message number.
constexpr QEvent::Type StartMessage = static_cast<QEvent::Type>(QEvent::User + 1);

std::unique_ptr<TkvProgressForm>& Instance() {
    static std::unique_ptr<TkvProgressForm> form;
    return form;
}

} // namespace

namespace kv {

bool ProgressShowsTotal = false;
int ProgressTotal = 0;

TkvProgressForm& ProgressWindow() {
    auto& form = Instance();
    if (!form) {
        form = std::make_unique<TkvProgressForm>();
        // Released with the application, before Qt's own teardown.
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit,
                         [] { Instance().reset(); });
    }
    return *form;
}

TkvProgressForm* ExistingProgressWindow() {
    return Instance().get();
}

} // namespace kv

TkvProgressForm::TkvProgressForm(QWidget* parent) : QDialog(parent) {
    setObjectName("kvProgressForm");
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(270, 98);
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setGeometry(4, 10, 262, 16);
    Label2 = new QLabel(this);
    Label2->setObjectName("Label2");
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setGeometry(4, 30, 262, 16);
    Button1 = new QPushButton(this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(97, 60, 75, 25);
    connect(Button1, &QPushButton::clicked, this, [this] { Cancel(); });
}

int TkvProgressForm::Show(TkvReport& report) {
    Button1->setText(kv::DecodeText(kv::LoadLibraryText(CancelTextId), kvcs::Default));
    Report = &report;
    Label2->clear();
    QCoreApplication::postEvent(this, new QEvent(StartMessage));
    const int result = exec();
    Report = nullptr;
    return result;
}

bool TkvProgressForm::event(QEvent* e) {
    if (e->type() != StartMessage) return QDialog::event(e);
    if (Report && StartWork) {
        working_ = true;
        StartWork(*Report); // must not throw: exceptions cannot cross Qt's event dispatch
        working_ = false;
    }
    done(Report && Report->CancelRequested ? Rejected : Accepted);
    return true;
}

void TkvProgressForm::Cancel() {
    if (Report) Report->CancelRequested = true;
    // While the work runs it notices the flag and ends the window itself.
    if (!working_) done(Rejected);
}

void TkvProgressForm::reject() {
    Cancel(); // Escape
}

void TkvProgressForm::closeEvent(QCloseEvent* e) {
    Cancel();
    e->ignore();
}
