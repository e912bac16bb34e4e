#pragma once
// The designer's own state objects: its options (kept in QSettings), the remembered defaults of new
// objects, the restriction words and the selection of the surface. Every designer window owns its
// options and selection; the defaults, the restrictions and the clipboard are shared by the designer
// windows of one program through TkvDesignerShared (designer_shared.h).

#include "core/rect.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

class QSettings;
class TkvView;

// Designer restriction bits (TkvDesignerShared::Restrictions): an application sets them to forbid
// commands.
namespace kvdr {
constexpr uint16_t ObjectEditors = 0x0001;
constexpr uint16_t ChangeProperties = 0x0002;
constexpr uint16_t Resize = 0x0004;
constexpr uint16_t Move = 0x0008;
constexpr uint16_t Delete = 0x0010;
constexpr uint16_t Insert = 0x0020;
constexpr uint16_t RemovePage = 0x0040;
constexpr uint16_t AddPage = 0x0080;
constexpr uint16_t PageOptions = 0x0100;
constexpr uint16_t NewReport = 0x0200;
constexpr uint16_t Open = 0x0400;
constexpr uint16_t Save = 0x0800;
constexpr uint16_t Preview = 0x1000;
constexpr uint16_t Dictionary = 0x2000;
constexpr uint16_t ReportOptions = 0x4000;
} // namespace kvdr

// A view's own restriction bits (TkvView::Restrictions) the designer honours.
namespace kvvr {
constexpr uint16_t DontEditContents = 0x04;
constexpr uint16_t DontModify = 0x08;
constexpr uint16_t DontSize = 0x10;
constexpr uint16_t DontMove = 0x20;
constexpr uint16_t DontDelete = 0x40;
} // namespace kvvr

// View Flags bits the designer looks at.
namespace kvdf {
constexpr uint16_t OnePerPage = 0x2000; // a class that allows one object per page
constexpr uint16_t NoUndo = 0x4000;     // left out of undo steps
} // namespace kvdf

// Units of the status bar and of the inspector's page-unit values.
enum class TkvDesignerUnits { Pixels = 0, Millimetres = 1, Inches = 2 };

namespace kv {
// Page units shown in a unit, and entered values back (18 page units are 5 mm).
double PageUnitsToUnits(double v, TkvDesignerUnits units);
double UnitsToPageUnits(double v, TkvDesignerUnits units);
// "Pixels", "MM", "Inches".
QString UnitName(TkvDesignerUnits units);
} // namespace kv

struct TkvDesignerOptions {
    int GridSize = 4; // 4, 8 or 18 page units
    bool GridAlign = true;
    bool GridShow = true;
    TkvDesignerUnits Units = TkvDesignerUnits::Pixels;
    bool GrayButtons = false;
    bool EditAfterInsert = true;
    int Selection = 1;     // 1 redraw what changed while dragging, 0 frames only
    int PagePosition = 5;  // 3 left, 5 centred, others right-aligned
    bool BandTitles = true;
    bool LocalizedPropNames = false;
    bool UnlimitedHeight = false;
    bool DisableUndo = false;
    bool SyntaxHighlight = true;
    bool KeepTool = false; // the insertion tool stays after an insert

    // The section of the options in the settings store.
    static QString Section() { return QStringLiteral("Form/TkvDesignerForm"); }
    // Missing keys keep their defaults; a grid size of 0 reads as 4.
    void Load(QSettings& settings);
    void Save(QSettings& settings) const;
};

// What new objects take (every text and frame command updates the matching value).
struct TkvObjectDefaults {
    float FrameWidth = 1.0f;
    float LineWidth = 2.0f;
    uint32_t FillColor = 0x1FFFFFFF;
    uint32_t FrameColor = 0;
    uint16_t FrameTyp = 0;
    uint32_t FontColor = 0;
    uint16_t FontStyle = 0;
    int32_t TextFlags = 0; // Alignment of text objects
    uint8_t FontCharset = 1;
    QByteArray FontName = "Arial";
    int32_t FontSize = 10;
    int DefaultTextWidth = 96, DefaultTextHeight = 18;
};

// The selection of one surface. Selected flags live in the views; these are the values around them.
struct TkvDesignerSelection {
    int SelNum = 0;
    TkvView* SelectedView = nullptr; // the reference view of alignment commands (borrowed)
    bool GroupRectValid = false;
    TkvRect RubberRect;
    TkvRect OldRect;
    int AnchorIndex = -1;
    int GroupLeft = 10000, GroupTop = 10000;
};
