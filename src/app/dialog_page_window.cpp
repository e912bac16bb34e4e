#include "app/dialog_page_window.h"

#include "base/codepage.h"
#include "base/constants.h"
#include "core/report/page.h"
#include "core/views/control.h"
#include "print/progress_form.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace {

// Page border styles: none, single, sizeable, dialog, tool window, sizeable tool window.
constexpr uint8_t BorderNone = 0, BorderSizeable = 2, BorderToolWindow = 4, BorderSizeToolWindow = 5;
// Page positions: 0 as designed; 4 to 7 centred (on the screen, the desktop, the main form, the owner).
constexpr uint8_t PositionDesigned = 0;

bool IsCentred(uint8_t position) { return position >= 4 && position <= 7; }

// A page colour with the high bit set names a system colour: the form keeps its palette.
bool IsPlainColour(uint32_t colour) { return (colour & 0xFF000000u) == 0; }

} // namespace

int TkvDialogPageWindow::ShowDialog(TkvDialogPage& dialog) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        const int preset = dialog.Activate();
        return preset ? preset : kv::mrOk;
    }
    TkvPage& page = dialog.Page;
    QWidget* parent = parent_;
    if (TkvProgressForm* progress = kv::ExistingProgressWindow(); progress && progress->isVisible())
        parent = progress;

    QDialog form(parent);
    form.setObjectName("kvDialogPage");
    form.setModal(true);
    form.setWindowTitle(kv::DecodeText(page.Caption, kvcs::Default));
    Qt::WindowFlags flags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    if (page.BorderStyle == BorderNone) flags = Qt::Dialog | Qt::FramelessWindowHint;
    if (page.BorderStyle == BorderToolWindow || page.BorderStyle == BorderSizeToolWindow) flags |= Qt::Tool;
    form.setWindowFlags(flags);
    if (IsPlainColour(page.Color)) {
        QPalette palette = form.palette();
        const uint32_t c = page.Color; // stored as blue, green, red from the high byte down
        palette.setColor(QPalette::Window, QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)));
        form.setPalette(palette);
        form.setAutoFillBackground(true);
    }

    auto* layout = new QVBoxLayout(&form);
    layout->setContentsMargins(0, 0, 0, 8);
    // The page's area, where the controls sit at their positions.
    auto* area = new QWidget(&form);
    area->setObjectName("kvDialogArea");
    area->setMinimumSize(std::clamp(page.FormWidth, 100, 4000), std::clamp(page.FormHeight, 40, 4000));
    layout->addWidget(area, 1);
    for (TkvControl* control : dialog.Controls) {
        if (control->Control) {
            control->PlaceOnForm(area);
            continue;
        }
        // A control whose class supplies no widget still shows where it is and what it is.
        auto* placeholder = new QLabel(QString::fromLatin1(control->Name), area);
        placeholder->setObjectName("kvControl_" + QString::fromLatin1(control->Name));
        placeholder->setFrameShape(QFrame::StyledPanel);
        placeholder->setAlignment(Qt::AlignCenter);
        placeholder->setGeometry(control->Left, control->Top, std::max(control->Width, 8), std::max(control->Height, 8));
        placeholder->setVisible(control->Visible != 0);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &form);
    buttons->setObjectName("kvDialogButtons");
    QObject::connect(buttons, &QDialogButtonBox::accepted, &form, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &form, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(8, 0, 8, 0);
    row->addWidget(buttons);
    layout->addLayout(row);
    if (page.BorderStyle != BorderSizeable && page.BorderStyle != BorderSizeToolWindow)
        layout->setSizeConstraint(QLayout::SetFixedSize);
    form.adjustSize();
    if (page.Position == PositionDesigned) {
        form.move(page.FormLeft, page.FormTop);
    } else if (IsCentred(page.Position)) {
        const QWidget* over = parent ? parent->window() : nullptr;
        const QRect around = over && page.Position >= 6 ? over->frameGeometry()
                             : form.screen()                 ? form.screen()->availableGeometry()
                                                             : QRect();
        if (around.isValid()) form.move(around.center() - QPoint(form.width() / 2, form.height() / 2));
    }

    // The page script runs as the form opens; a modal result it sets closes the form unseen.
    int result = dialog.Activate();
    if (result == kv::mrNone) result = form.exec() == QDialog::Accepted ? kv::mrOk : kv::mrCancel;
    // The controls' widgets belong to their classes: take them off the form before it goes.
    for (TkvControl* control : dialog.Controls)
        if (control->Control) control->Control->SetParentForm(nullptr);
    return result;
}
