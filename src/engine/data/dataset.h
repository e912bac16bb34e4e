#pragma once
// Band data sources: small cursors with a range (TkvDataset), driven by the application's events
// (TkvUserDataset) or walking a record set of the database layer (TkvDBDataSet). Page building
// and bands use only Init, Exit, First, Next, Prior and Eof.

#include "base/component_directory.h"
#include "engine/data/record_set.h"

#include <functional>
#include <memory>
#include <vector>

enum class TRangeBegin { rbFirst, rbCurrent };
enum class TRangeEnd { reLast, reCurrent, reCount };

// Raised when a TkvDBDataSet has nothing to walk.
class EDSError : public TkvDataError {
public:
    using TkvDataError::TkvDataError;
};

// A component that owns others and tells them when one is removed (forms and data modules of a
// host, and kvtool's named data sets).
class TkvDataModule;

// Base of the components in this layer: a name, an owner and removal notification.
class TkvDataComponent : public TkvComponent {
public:
    explicit TkvDataComponent(QByteArray name) : name_(std::move(name)) {}
    QByteArray ComponentName() const override { return name_; }
    TkvComponent* ComponentOwner() const override { return owner_; }
    // A component of the same owner is being removed; references to it must be cleared.
    virtual void Notification(TkvComponent* removed) {}

private:
    friend class TkvDataModule;
    QByteArray name_;
    TkvComponent* owner_ = nullptr;
};

class TkvDataset : public TkvDataComponent {
public:
    using TkvDataComponent::TkvDataComponent;
    bool InheritsFrom(const QByteArray& className) const override;
    bool IsDataset() const override { return true; }
    void InitDataset() override { Init(); }

    virtual void Init() {}
    virtual void Exit() {}
    virtual void First();
    virtual void Next();
    virtual void Prior();
    virtual bool Eof();

    TRangeBegin RangeBegin = TRangeBegin::rbFirst;
    TRangeEnd RangeEnd = TRangeEnd::reLast;
    int32_t RangeEndCount = 0;
    std::function<void(TkvDataset*)> OnFirst, OnNext, OnPrior;
    std::function<void(TkvDataset*, bool& eof)> OnCheckEOF;
    int32_t RecordNo = 0;
};

class TkvUserDataset : public TkvDataset {
public:
    using TkvDataset::TkvDataset;
    bool InheritsFrom(const QByteArray& className) const override;
};

// The application's data source component: points at a record set.
class TkvDataSource : public TkvDataComponent {
public:
    using TkvDataComponent::TkvDataComponent;
    bool InheritsFrom(const QByteArray& className) const override;
    void Notification(TkvComponent* removed) override;
    TkvRecordSet* DataSet = nullptr;
};

class TkvDBDataSet : public TkvDataset {
public:
    using TkvDataset::TkvDataset;
    bool InheritsFrom(const QByteArray& className) const override;
    // Field look-ups of names written as NAME."FIELD" reach the underlying record set.
    bool HasField(const QByteArray& fieldName) const override;
    QList<QByteArray> FieldNames() const override;
    void Notification(TkvComponent* removed) override;

    void Init() override;
    void Exit() override;
    void First() override;
    void Next() override;
    void Prior() override;
    bool Eof() override;

    // Assigning one clears the other.
    void SetDataSet(TkvRecordSet* d);
    void SetDataSource(TkvDataSource* s);
    TkvRecordSet* DataSet() const { return dataSet_; }
    TkvDataSource* DataSource() const { return dataSource_; }
    // The record set walked; raises EDSError "Unable to open dataset " + name without one.
    TkvRecordSet& Underlying() const;

    bool OpenDataSource = true;
    bool CloseDataSource = false;
    std::function<void(TkvDataset*)> OnOpen, OnClose;
    TkvBookmark Bookmark;
    bool EndReached = false;

private:
    TkvRecordSet* dataSet_ = nullptr;
    TkvDataSource* dataSource_ = nullptr;
};

class TkvDataModule : public TkvComponent {
public:
    explicit TkvDataModule(QByteArray name) : name_(std::move(name)) {}
    ~TkvDataModule() override;
    QByteArray ComponentName() const override { return name_; }
    TkvComponent* ComponentOwner() const override { return nullptr; }
    bool InheritsFrom(const QByteArray& className) const override;
    int ComponentCount() const override { return static_cast<int>(components_.size()); }
    TkvComponent* ComponentAt(int i) const override { return components_[static_cast<size_t>(i)].get(); }

    // Takes ownership; the component's owner becomes this module.
    template <class T> T* Add(std::unique_ptr<T> c) {
        T* raw = c.get();
        SetOwnerOf(raw);
        components_.push_back(std::move(c));
        return raw;
    }
    // Removes and frees the component after notifying every other component.
    void Remove(TkvComponent* c);

private:
    void SetOwnerOf(TkvComponent* c);
    QByteArray name_;
    std::vector<std::unique_ptr<TkvComponent>> components_;
};

// A component directory over data modules; the report stands as a component of the first module
// (so that names of that module resolve without a module prefix).
class TkvDataDirectory : public TkvComponentDirectory {
public:
    TkvDataDirectory();
    ~TkvDataDirectory() override;
    std::vector<TkvComponent*> GlobalComponents() const override;
    TkvComponent* ReportComponent(const TkvReport* report) const override;
    TkvDataModule& AddModule(const QByteArray& name);

private:
    class ReportStandIn;
    std::vector<std::unique_ptr<TkvDataModule>> modules_;
    mutable std::unique_ptr<ReportStandIn> report_;
};
