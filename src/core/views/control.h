#pragma once
// The base of dialog controls: a view on a dialog page that wraps a visual control. Add-in control
// classes derive from it and create the control they wrap. Its record is the common view record
// with no tail; it travels as an add-in view (type 10 with its class name).

#include "core/views/view.h"

#include <QImage>

class QObject;

// The visual control a TkvControl wraps. The core has no widgets: the add-in class supplies an
// implementation from a layer that has them, and owns it.
class TkvControlHandle {
public:
    virtual ~TkvControlHandle() = default;
    virtual void SetVisible(bool visible) = 0;
    virtual void SetBounds(int left, int top, int width, int height) = 0;
    // Makes the control a child of the dialog's form.
    virtual void SetParentForm(QObject* form) = 0;
    // The control painted at its current size, for the designer's picture of it.
    virtual QImage Render() = 0;
};

class TkvControl : public TkvView {
public:
    TkvControl();
    const char* ClassName() const override { return "TkvControl"; }
    bool IsDialogControl() const override { return true; }

    static const TkvPropertyTable& ClassProperties();
    const TkvPropertyTable& Properties() const override { return ClassProperties(); }
    void RegisterProperties() override;
    void Draw(TkvCanvas& canvas) override;

    // Called from Draw after scaling: the control's picture at its natural size, on a button-face
    // background of the scaled view size, with its top-left corner at (Left, Top).
    virtual void PaintControl();

    // Used by a dialog page when its dialog is shown: the control moves onto the form at the
    // view's position and size.
    void PlaceOnForm(QObject* form);

    // Not owned: created and owned by the add-in class; none in the base.
    TkvControlHandle* Control = nullptr;
};
