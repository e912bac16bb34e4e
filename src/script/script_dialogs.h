#pragma once
// The dialogs a script can open (INPUT and MESSAGEBOX). The GUI layer implements them with Qt
// dialogs; TkvHeadlessDialogs answers without a display and never blocks.

#include <QByteArray>
#include <cstdio>

class TkvScriptDialogs {
public:
    virtual ~TkvScriptDialogs() = default;
    // The text the user confirms; `defaultText` is preset in the edit field (and is the answer
    // when the user cancels).
    virtual QByteArray Input(const QByteArray& caption, const QByteArray& defaultText) = 0;
    // `buttons` is a button set (mb_Ok, mb_OkCancel, 2 abort/retry/ignore, mb_YesNoCancel, mb_YesNo,
    // 5 retry/cancel) plus an icon code; the result is the modal result of the button pressed
    // (1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No).
    virtual int MessageBox(const QByteArray& text, const QByteArray& title, int buttons) = 0;

    // The first button of the set: what a message box answers when nobody can press a button.
    static int DefaultButton(int buttons);
};

// Writes each prompt as one line to `out` (stderr when null) and answers the default.
class TkvHeadlessDialogs : public TkvScriptDialogs {
public:
    explicit TkvHeadlessDialogs(FILE* out = nullptr) : out_(out) {}
    QByteArray Input(const QByteArray& caption, const QByteArray& defaultText) override;
    int MessageBox(const QByteArray& text, const QByteArray& title, int buttons) override;

private:
    void Line(const QByteArray& text);
    FILE* out_;
};
