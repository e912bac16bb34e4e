#pragma once
// Name resolution used by data sources, scripts and the designer: components by (dotted) name,
// datasets and fields, band data sources and object properties.

#include "base/component_directory.h"

#include <QByteArray>
#include <functional>
#include <memory>
#include <vector>

class TkvObject;

namespace kv {

// The owner the data layer searches in: the owner of CurReport's component, or null.
TkvComponent* ReportOwnerComponent();

// A name without a dot among the components of owner; "A.B" finds the global component A and B in
// it; "A.B.C" goes one step further (each further part one more step). Null when a step fails.
// A lookup that raises is re-raised as TkvClassNotFound with the message "Missing " + name.
TkvComponent* FindComponentByName(const TkvComponent* owner, const QByteArray& name);

// Splits "Field", "Dataset.Field", "Form.Dataset.Field" or "Form.Module.Dataset.Field" (a quoted
// last part may hold dots: Table1."A.B"). With no dot the given dataset stays; otherwise dataset
// becomes the component found (null when none, or when it is not a dataset). The field name, with
// surrounding quotes removed, is returned only when the dataset has that field; otherwise empty.
QByteArray FindDatasetAndField(const QByteArray& text, TkvComponent*& dataset);

// The band data source of a band's data source text. Owned is set when the text was a record count
// (first character 1 to 9): the caller owns that dataset. Dataset is null when nothing was found
// or the component is not a dataset; otherwise its initialisation has run.
struct TkvBandDataSource {
    TkvComponent* Dataset = nullptr;
    std::unique_ptr<TkvComponent> Owned;
    bool Created() const { return Owned != nullptr; }
};
TkvBandDataSource FindBandDataSource(const QByteArray& text);

// A record-count text makes its data set through the library context's CountDatasetFactory
// (installed by the data sources module); without it a record-count text yields no data source.

// "Visible" -> CurView and "Visible"; "Page2.Visible" -> page 2 of CurReport; "Memo1.Font.Name"
// -> the view Memo1 and "Font.Name"; "Font.Name" with no view named Font, when CurView has a
// property "Font" -> CurView and "Font.Name". Object is null when nothing matches (also for a page
// number outside the report). The object's property table is built before returning.
struct TkvObjectProperty {
    TkvObject* Object = nullptr;
    QByteArray PropName;
};
TkvObjectProperty ResolveObjectProperty(const QByteArray& text);

// Every component of the class on every form (including frames placed on forms) and data module,
// except the report itself: under its bare name when owned by owner, as Owner.Name when owned by a
// form or module, as Form.Frame.Name when owned by a frame.
struct TkvNamedComponent {
    QByteArray Name;
    TkvComponent* Component = nullptr;
};
std::vector<TkvNamedComponent> ListComponentsOfClass(const QByteArray& className, const TkvComponent* owner);

} // namespace kv
