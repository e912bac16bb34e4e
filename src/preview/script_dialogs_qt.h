#pragma once
// INPUT and MESSAGEBOX of scripts as Qt dialogs, for builds run from a window. Texts arrive in the
// report's code page. Without a widget application the headless answers are used instead, so a
// build never waits for a dialog nobody can see.

#include "script/script_dialogs.h"

class QWidget;

class TkvQtScriptDialogs : public TkvScriptDialogs {
public:
    // `parent` (borrowed, may be null) owns the dialogs while they are shown.
    explicit TkvQtScriptDialogs(QWidget* parent = nullptr) : parent_(parent) {}

    QByteArray Input(const QByteArray& caption, const QByteArray& defaultText) override;
    int MessageBox(const QByteArray& text, const QByteArray& title, int buttons) override;

private:
    QWidget* parent_;
    TkvHeadlessDialogs headless_;
};
