#include "base/variables.h"

#include <algorithm>
#include <numeric>

namespace {

int CompareNames(const QByteArray& a, const QByteArray& b) {
    return a.compare(b, Qt::CaseInsensitive);
}

} // namespace

int TkvVariables::LowerBound(const QByteArray& name) const {
    const auto it =
        std::lower_bound(entries_.begin(), entries_.end(), name,
                         [](const Entry& e, const QByteArray& n) { return CompareNames(e.Name, n) < 0; });
    return static_cast<int>(it - entries_.begin());
}

int TkvVariables::IndexOf(const QByteArray& name) const {
    if (sorted_) {
        const int i = LowerBound(name);
        return i < Count() && CompareNames(entries_[static_cast<size_t>(i)].Name, name) == 0 ? i : -1;
    }
    for (int i = 0; i < Count(); ++i)
        if (CompareNames(entries_[static_cast<size_t>(i)].Name, name) == 0) return i;
    return -1;
}

void TkvVariables::SetVariable(const QByteArray& name, const TkvVariant& value) {
    const int i = IndexOf(name);
    if (i >= 0) {
        entries_[static_cast<size_t>(i)].Value = value;
        return;
    }
    const int at = sorted_ ? LowerBound(name) : Count();
    entries_.insert(entries_.begin() + at, Entry{name, value, nextSequence_++});
}

TkvVariant TkvVariables::GetVariable(const QByteArray& name) const {
    const int i = IndexOf(name);
    return i >= 0 ? entries_[static_cast<size_t>(i)].Value : TkvVariant::Null();
}

QByteArray TkvVariables::Name(int i) const {
    return i >= 0 && i < Count() ? entries_[static_cast<size_t>(i)].Name : QByteArray();
}

TkvVariant TkvVariables::Value(int i) const {
    return i >= 0 && i < Count() ? entries_[static_cast<size_t>(i)].Value : TkvVariant(0);
}

void TkvVariables::SetName(int i, const QByteArray& name) {
    if (i < 0 || i >= Count()) return;
    const int other = IndexOf(name);
    if (other >= 0 && other != i) return;
    entries_[static_cast<size_t>(i)].Name = name;
    if (sorted_) Resort();
}

void TkvVariables::SetValue(int i, const TkvVariant& value) {
    if (i >= 0 && i < Count()) entries_[static_cast<size_t>(i)].Value = value;
}

void TkvVariables::Delete(int i) {
    if (i >= 0 && i < Count()) entries_.erase(entries_.begin() + i);
}

void TkvVariables::Insert(int i, const QByteArray& name) {
    if (IndexOf(name) >= 0) return;
    const int at = sorted_ ? LowerBound(name) : std::clamp(i, 0, Count());
    entries_.insert(entries_.begin() + at, Entry{name, TkvVariant(0), nextSequence_++});
}

void TkvVariables::Assign(const TkvVariables& other) {
    if (&other == this) return;
    entries_ = other.entries_;
    nextSequence_ = std::max(nextSequence_, other.nextSequence_);
    if (sorted_ && !other.sorted_) Resort();
}

void TkvVariables::SetSorted(bool sorted) {
    sorted_ = sorted;
    if (sorted_) Resort();
}

void TkvVariables::Resort() {
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const Entry& a, const Entry& b) { return CompareNames(a.Name, b.Name) < 0; });
}

std::vector<int> TkvVariables::InsertionOrder() const {
    std::vector<int> order(entries_.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [this](int a, int b) {
        return entries_[static_cast<size_t>(a)].Sequence < entries_[static_cast<size_t>(b)].Sequence;
    });
    return order;
}
