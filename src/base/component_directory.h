#pragma once
// What the library needs to know of the application's components to resolve names written in
// templates ("Table1", "Form1.Table1.Price", "DataModule1.Query1"): the global forms and data
// modules, the components they own, frames placed on forms, and which components are datasets
// with which fields. The data layer implements these interfaces over the application's objects.

#include <QByteArray>
#include <QList>
#include <vector>

class TkvReport;

class TkvComponent {
public:
    virtual ~TkvComponent() = default;

    virtual QByteArray ComponentName() const = 0;
    virtual TkvComponent* ComponentOwner() const = 0;
    // Whether the component is of that class or of a class derived from it.
    virtual bool InheritsFrom(const QByteArray& className) const = 0;

    // The components it owns, in order.
    virtual int ComponentCount() const { return 0; }
    virtual TkvComponent* ComponentAt(int i) const { return nullptr; }
    // The owned component of that name (compared without regard to case), or null. Lookups of the
    // platform may raise; name resolution turns that into a class-not-found failure.
    virtual TkvComponent* FindComponent(const QByteArray& name) const;

    // A frame placed on a form: its components are listed as Form.Frame.Name.
    virtual bool IsFrame() const { return false; }

    // Datasets: whether this is one, whether it has a field of that name, and its initialisation
    // operation (run by the band data source lookup).
    virtual bool IsDataset() const { return false; }
    virtual bool HasField(const QByteArray& fieldName) const { return false; }
    // Its field names, in order (empty for components that are not datasets).
    virtual QList<QByteArray> FieldNames() const { return {}; }
    virtual void InitDataset() {}
};

class TkvComponentDirectory {
public:
    virtual ~TkvComponentDirectory() = default;

    // Every form and data module of the application, in the platform's order.
    virtual std::vector<TkvComponent*> GlobalComponents() const = 0;
    // The component that stands for the report in its host (its owner is the owner the data layer
    // searches in), or null when the report is not placed on a form or module.
    virtual TkvComponent* ReportComponent(const TkvReport* report) const = 0;
    // The form or data module of that name (compared without regard to case), or null.
    virtual TkvComponent* FindGlobalComponent(const QByteArray& name) const;
};

namespace kv {

// The directory installed by the application's data layer (not owned); null when none is installed,
// in which case no name resolves to a component.
void SetComponentDirectory(TkvComponentDirectory* directory);
TkvComponentDirectory* ComponentDirectory();

} // namespace kv
