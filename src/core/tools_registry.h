#pragma once
// Extra designer tools registered by add-ins: the designer lists them under its tools menu.

#include <QByteArray>
#include <QImage>
#include <functional>
#include <vector>

struct TkvToolsInfo {
    QByteArray Caption;
    QImage ButtonPicture; // may be null
    std::function<void()> OnClick;
};

namespace kv {

// Appended in order; false when the registry already holds 64 tools.
bool RegisterTool(const TkvToolsInfo& tool);
const std::vector<TkvToolsInfo>& Tools();
// Only at shutdown.
void ClearTools();

} // namespace kv
