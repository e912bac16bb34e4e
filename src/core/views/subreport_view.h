#pragma once
// A placeholder naming another page of the report whose bands the page builder prints in its
// place; on its own it only draws a labelled rectangle. It keeps the view's property table.

#include "core/views/view.h"

class TkvSubReportView : public TkvView {
public:
    TkvSubReportView();
    const char* ClassName() const override { return "TkvSubReportView"; }

    // The common record, then SubPageIndex.
    void LoadFromStream(TkvStream& stream) override;
    void SaveToStream(TkvStream& stream) override;

    // A white rectangle with the object's name; none of the object's own frame or fill.
    void Draw(TkvCanvas& canvas) override;

    int32_t SubPageIndex = 0; // index, from 0, of the report page printed in this object's place
};
