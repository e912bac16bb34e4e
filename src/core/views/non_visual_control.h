#pragma once
// A dialog-page view that stands for a non-visual component: drawn as a raised 28 x 28 tile with
// the component picture. Add-in classes derive from it and supply the component.

#include "core/views/control.h"

#include <QImage>
#include <QList>
#include <QPair>

// The non-visual component a TkvNonVisualControl stands for; supplied and owned by the add-in class.
class TkvComponentHandle {
public:
    virtual ~TkvComponentHandle() = default;
    virtual void SetComponentName(const QByteArray& name) = 0;
};

class TkvNonVisualControl : public TkvControl {
public:
    TkvNonVisualControl();
    const char* ClassName() const override { return "TkvNonVisualControl"; }

    static const TkvPropertyTable& ClassProperties();
    const TkvPropertyTable& Properties() const override { return ClassProperties(); }
    void RegisterProperties() override;
    void Draw(TkvCanvas& canvas) override;
    void PaintControl() override;

    // The picture drawn for the component when the resources have no "KV_NONVISUALCOMPONENT".
    static QImage DefaultComponentIcon();

    QImage ComponentIcon;
    TkvComponentHandle* Component = nullptr; // not owned
    // Named values kept for add-in classes; nothing in the library fills it.
    QList<QPair<QByteArray, TkvVariant>> PendingReferences;
};
