#include "engine/data/parameter_links.h"

#include "core/data/data_field.h"

#include <string>

namespace {

class Linker {
public:
    explicit Linker(const std::vector<TkvNamedRecordSet>& sets) : sets_(sets), state_(sets.size(), kNew) {}

    void Resolve(size_t i) {
        if (state_[i] == kDone) return;
        state_[i] = kOpen;
        path_.push_back(i);
        TkvRowSource& source = sets_[i].Set->Source();
        const QList<QByteArray> names = source.ParameterNames();
        for (qsizetype k = 0; k < names.size(); ++k) {
            const QByteArray& name = names[k];
            const qsizetype dot = name.indexOf('.');
            size_t from = 0;
            QByteArray field;
            if (dot > 0) {
                from = Find(name.left(dot), i, name);
                field = name.mid(dot + 1);
                Resolve(from);
                if (!sets_[from].Set->FieldByName(field))
                    Fail(i, name, "names no field of " + sets_[from].Name.toStdString());
            } else {
                from = FindField(i, name);
                field = name;
            }
            source.LinkParameter(static_cast<int>(k), *sets_[from].Set, field);
        }
        path_.pop_back();
        state_[i] = kDone;
    }

private:
    enum State { kNew, kOpen, kDone };

    [[noreturn]] void Fail(size_t i, const QByteArray& name, const std::string& why) const {
        throw TkvDataError("Data set " + sets_[i].Name.toStdString() +
                           ": the parameter :" + name.toStdString() + " " + why);
    }

    // The set named `setName`, which must not be one whose parameters are being linked.
    size_t Find(const QByteArray& setName, size_t i, const QByteArray& name) const {
        for (size_t j = 0; j < sets_.size(); ++j) {
            if (sets_[j].Name.compare(setName, Qt::CaseInsensitive) != 0) continue;
            if (j == i) Fail(i, name, "takes its value from the data set itself");
            if (state_[j] == kOpen) {
                std::string cycle;
                for (size_t p : path_)
                    cycle += sets_[p].Name.toStdString() + " -> ";
                Fail(i, name, "closes a cycle of data sets: " + cycle + sets_[j].Name.toStdString());
            }
            return j;
        }
        Fail(i, name, "names no data set " + setName.toStdString());
    }

    // The one other set with a field `name`. Sets whose own parameters are being linked cannot
    // give values to this one (that would be a cycle) and are not searched.
    size_t FindField(size_t i, const QByteArray& name) {
        std::vector<size_t> found;
        for (size_t j = 0; j < sets_.size(); ++j) {
            if (j == i || state_[j] == kOpen) continue;
            Resolve(j);
            if (sets_[j].Set->FieldByName(name)) found.push_back(j);
        }
        if (found.empty()) Fail(i, name, "is no field of another data set");
        if (found.size() > 1)
            Fail(i, name,
                 "is a field of both " + sets_[found[0]].Name.toStdString() + " and " +
                     sets_[found[1]].Name.toStdString() + "; write :" + sets_[found[0]].Name.toStdString() +
                     "." + name.toStdString());
        return found.front();
    }

    const std::vector<TkvNamedRecordSet>& sets_;
    std::vector<State> state_;
    std::vector<size_t> path_;
};

} // namespace

namespace kv {

void LinkParameters(const std::vector<TkvNamedRecordSet>& sets) {
    Linker linker(sets);
    for (size_t i = 0; i < sets.size(); ++i)
        linker.Resolve(i);
}

} // namespace kv
