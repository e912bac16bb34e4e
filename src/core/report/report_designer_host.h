#pragma once
// What the report component and the edit cycle see of a designer window, without knowing its
// class: the designer library installs a factory in the library context (DesignerFactory), and
// whoever needs a designer (designing a template, editing one prepared page) makes one through it.

#include <QByteArray>
#include <functional>
#include <memory>

class TkvReport;
class TkvPage;

class TkvReportDesignerHost {
public:
    virtual ~TkvReportDesignerHost() = default;

    // The report's modified flag as the designer keeps it.
    virtual bool IsModified() const = 0;
    virtual void SetModified(bool modified) = 0;
    // Shows the window and returns when it is closed.
    virtual void ShowModal() = 0;
    // Draws the current page again (after a change made behind the designer's back).
    virtual void RedrawPage() = 0;
    // Selects the view of that name on the current page, alone; nothing when there is none.
    virtual void SelectObject(const QByteArray& name) = 0;
    // The page being edited (null when there is none).
    virtual TkvPage* CurrentPage() const = 0;
};

// Template mode edits the whole report; prepared-page mode one unpacked prepared page (no file,
// page, dictionary or report option commands).
enum class TkvDesignerMode { Template, PreparedPage };

using TkvDesignerFactory =
    std::function<std::unique_ptr<TkvReportDesignerHost>(TkvReport& report, TkvDesignerMode mode)>;
