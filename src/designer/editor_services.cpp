#include "designer/editor_services.h"

#include "render/colors.h"

#include <QColorDialog>

bool kv::ChooseDesignerColor(const TkvDesignerServices& services, uint32_t& color, QWidget* parent) {
    if (services.ChooseColor) return services.ChooseColor(color, parent);
    const QColor chosen = QColorDialog::getColor(kv::ColorToQColor(color), parent);
    if (!chosen.isValid()) return false;
    color = kv::QColorToColor(chosen);
    return true;
}
