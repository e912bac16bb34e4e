#include "designer/designer_state.h"

#include <QSettings>

namespace kv {

double PageUnitsToUnits(double v, TkvDesignerUnits units) {
    switch (units) {
    case TkvDesignerUnits::Millimetres: return v / 18 * 5;
    case TkvDesignerUnits::Inches: return v / 18 * 5 / 25.4;
    default: return v;
    }
}

double UnitsToPageUnits(double v, TkvDesignerUnits units) {
    switch (units) {
    case TkvDesignerUnits::Millimetres: return v / 5 * 18;
    case TkvDesignerUnits::Inches: return v * 25.4 / 5 * 18;
    default: return v;
    }
}

QString UnitName(TkvDesignerUnits units) {
    switch (units) {
    case TkvDesignerUnits::Millimetres: return QStringLiteral("MM");
    case TkvDesignerUnits::Inches: return QStringLiteral("Inches");
    default: return QStringLiteral("Pixels");
    }
}

} // namespace kv

void TkvDesignerOptions::Load(QSettings& s) {
    s.beginGroup(Section());
    GridSize = s.value("GridSize", 4).toInt();
    if (GridSize != 8 && GridSize != 18) GridSize = 4;
    GridAlign = s.value("GridAlign", true).toBool();
    GridShow = s.value("GridShow", true).toBool();
    const int units = s.value("Units", 0).toInt();
    Units = units == 1 ? TkvDesignerUnits::Millimetres
                       : units == 2 ? TkvDesignerUnits::Inches : TkvDesignerUnits::Pixels;
    GrayButtons = s.value("GrayButtons", false).toBool();
    EditAfterInsert = s.value("EditAfterInsert", true).toBool();
    Selection = s.value("Selection", 1).toInt();
    PagePosition = s.value("PagePosition", 5).toInt();
    BandTitles = s.value("BandTitles", true).toBool();
    LocalizedPropNames = s.value("LocalizedPropNames", false).toBool();
    UnlimitedHeight = s.value("UnlimitedHeight", false).toBool();
    DisableUndo = s.value("DisableUndo", false).toBool();
    SyntaxHighlight = s.value("SyntaxHighlight", true).toBool();
    KeepTool = s.value("KeepTool", false).toBool();
    s.endGroup();
}

void TkvDesignerOptions::Save(QSettings& s) const {
    s.beginGroup(Section());
    s.setValue("GridSize", GridSize);
    s.setValue("GridAlign", GridAlign);
    s.setValue("GridShow", GridShow);
    s.setValue("Units", static_cast<int>(Units));
    s.setValue("GrayButtons", GrayButtons);
    s.setValue("EditAfterInsert", EditAfterInsert);
    s.setValue("Selection", Selection);
    s.setValue("PagePosition", PagePosition);
    s.setValue("BandTitles", BandTitles);
    s.setValue("LocalizedPropNames", LocalizedPropNames);
    s.setValue("UnlimitedHeight", UnlimitedHeight);
    s.setValue("DisableUndo", DisableUndo);
    s.setValue("SyntaxHighlight", SyntaxHighlight);
    s.setValue("KeepTool", KeepTool);
    s.endGroup();
}
