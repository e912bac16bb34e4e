#pragma once
// What the designer windows of one program share: the designer clipboard, the remembered defaults
// of new objects, the designer restrictions and the installers other designer parts (inspector,
// data window) add to run on every new window. The program owns one (through TkvDesignerRegistration);
// a test may make its own.

#include "designer/designer_clipboard.h"
#include "designer/designer_state.h"

#include <functional>
#include <vector>

class TkvDesignerForm;

struct TkvDesignerShared {
    TkvDesignerClipboard Clipboard;
    TkvObjectDefaults Defaults;
    uint16_t Restrictions = 0; // kvdr bits
    // Called for every new designer window, in order, before it is shown: a place to dock tool
    // windows and to connect to its notifications.
    std::vector<std::function<void(TkvDesignerForm&)>> FormInstallers;
};
