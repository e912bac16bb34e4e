#pragma once
// The base of export filters. The export framework builds on it (document and page hooks, text
// line slots); the library core only needs what its registry and the save dialog look at.

#include "core/object.h"

class TkvExportFilter : public TkvObject {
public:
    const char* ClassName() const override { return "TkvExportFilter"; }

    bool ShowDialog = true; // show the options dialog before exporting
    bool Default = false;   // preselected in the save dialog
};
