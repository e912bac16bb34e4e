#include "script/script_dialogs.h"

int TkvScriptDialogs::DefaultButton(int buttons) {
    switch (buttons & 0x0F) {
    case 2: return 3; // abort, retry, ignore
    case 3:
    case 4: return 6; // yes first
    case 5: return 4; // retry, cancel
    default: return 1; // ok
    }
}

void TkvHeadlessDialogs::Line(const QByteArray& text) {
    QByteArray line = text;
    for (char& c : line)
        if (uint8_t(c) < 32) c = ' ';
    std::fprintf(out_ ? out_ : stderr, "%s\n", line.constData());
}

QByteArray TkvHeadlessDialogs::Input(const QByteArray& caption, const QByteArray& defaultText) {
    Line("INPUT: " + caption + " [" + defaultText + "]");
    return defaultText;
}

int TkvHeadlessDialogs::MessageBox(const QByteArray& text, const QByteArray& title, int buttons) {
    Line("MESSAGEBOX: " + (title.isEmpty() ? QByteArray() : title + ": ") + text);
    return DefaultButton(buttons);
}
