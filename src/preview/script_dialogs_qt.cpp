#include "preview/script_dialogs_qt.h"

#include "base/codepage.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace {

bool CanShowDialogs() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr &&
           QGuiApplication::platformName() != QLatin1String("offscreen") &&
           QGuiApplication::platformName() != QLatin1String("minimal");
}

QString FromCodePage(const QByteArray& s) { return kv::DecodeText(s, kvcs::Default); }

} // namespace

QByteArray TkvQtScriptDialogs::Input(const QByteArray& caption, const QByteArray& defaultText) {
    if (!CanShowDialogs()) return headless_.Input(caption, defaultText);
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent_, QString(), FromCodePage(caption), QLineEdit::Normal, FromCodePage(defaultText), &ok);
    return ok ? kv::EncodeText(text, kvcs::Default) : defaultText;
}

int TkvQtScriptDialogs::MessageBox(const QByteArray& text, const QByteArray& title, int buttons) {
    if (!CanShowDialogs()) return headless_.MessageBox(text, title, buttons);
    QMessageBox box(parent_);
    box.setWindowTitle(FromCodePage(title));
    box.setText(FromCodePage(text));
    switch (buttons & 0xF0) {
    case 16: box.setIcon(QMessageBox::Critical); break;
    case 32: box.setIcon(QMessageBox::Question); break;
    case 48: box.setIcon(QMessageBox::Warning); break;
    case 64: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    struct Button {
        QMessageBox::StandardButton Standard;
        int Result;
    };
    std::vector<Button> set;
    switch (buttons & 0x0F) {
    case 1: set = {{QMessageBox::Ok, 1}, {QMessageBox::Cancel, 2}}; break;
    case 2: set = {{QMessageBox::Abort, 3}, {QMessageBox::Retry, 4}, {QMessageBox::Ignore, 5}}; break;
    case 3: set = {{QMessageBox::Yes, 6}, {QMessageBox::No, 7}, {QMessageBox::Cancel, 2}}; break;
    case 4: set = {{QMessageBox::Yes, 6}, {QMessageBox::No, 7}}; break;
    case 5: set = {{QMessageBox::Retry, 4}, {QMessageBox::Cancel, 2}}; break;
    default: set = {{QMessageBox::Ok, 1}}; break;
    }
    QMessageBox::StandardButtons standard;
    for (const Button& b : set) standard |= b.Standard;
    box.setStandardButtons(standard);
    box.setDefaultButton(set.front().Standard);
    const int pressed = box.exec();
    for (const Button& b : set)
        if (pressed == b.Standard) return b.Result;
    return 2; // closed without a button: cancel
}
