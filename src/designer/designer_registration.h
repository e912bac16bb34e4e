#pragma once
// Registers the designer with a library context for as long as it lives: installs the
// DesignerFactory (the report component and the edit cycle make designers through it) and owns
// what the program's designer windows share (clipboard, object defaults, restrictions).

#include "designer/designer_shared.h"

#include <QString>

class QWidget;
class TkvDesignerForm;
class TkvLibraryContext;

class TkvDesignerRegistration {
public:
    explicit TkvDesignerRegistration(TkvLibraryContext& context);
    ~TkvDesignerRegistration();
    TkvDesignerRegistration(const TkvDesignerRegistration&) = delete;
    TkvDesignerRegistration& operator=(const TkvDesignerRegistration&) = delete;

    TkvDesignerShared& Shared() { return shared_; }

    // A template-mode designer window with a report of its own, deleted when closed: on an empty
    // report, or on `templateFile` when given (a file that cannot be read is reported by the window,
    // which then shows an empty report).
    TkvDesignerForm* OpenWindow(const QString& templateFile = {}, QWidget* parent = nullptr);

private:
    TkvLibraryContext& context_;
    TkvDesignerShared shared_;
};
