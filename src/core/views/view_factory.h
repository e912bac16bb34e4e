#pragma once
// Turns a stored view type byte (and, for add-ins, a class name) into a view, and keeps the
// registry of add-in view classes.

#include "base/error.h"
#include "base/registry_limits.h"
#include "core/views/view.h"

#include <QImage>
#include <functional>
#include <memory>

using TkvViewCreator = std::function<std::unique_ptr<TkvView>()>;

struct TkvAddInObjectInfo {
    QByteArray ClassName;
    TkvViewCreator Create;
    QImage ButtonPicture;   // may be null
    QByteArray ButtonHint;  // decimal text id of the hint, e.g. "55223"
    uint8_t Flag = 0;
};

// A load that meets a class the library does not know.
class TkvClassNotFound : public TkvError {
public:
    using TkvError::TkvError;
};

namespace kv {

// The classes of the built-in type bytes 0 to 4 are installed by their modules at start-up.
void RegisterViewType(uint8_t type, TkvViewCreator create);

// Ignored when the class is already registered; false when the registry is full.
bool RegisterAddInObject(const QByteArray& className, TkvViewCreator create, const QImage& picture = {},
                         const QByteArray& hint = {});
void UnregisterAllAddIns();
const std::vector<TkvAddInObjectInfo>& AddInObjects();

// Returns the new view, with the next NextViewID as its ID. A type byte that makes no view and
// an unregistered add-in class both raise: the first a plain error naming the byte (a stream
// cannot go on past an object it cannot read), the second TkvClassNotFound after appending the
// class name and a carriage return to ErrorText and setting ErrorFlag.
std::unique_ptr<TkvView> CreateViewByType(uint8_t type, const QByteArray& className);

// Reads one prepared object entry: the type byte, for type 10 the class name, then the record
// with Prepared set while it is read.
std::unique_ptr<TkvView> ReadObjectEntry(TkvStream& s, bool prepared);
// Writes the type byte, for type 10 the class name, then the record.
void WriteObjectEntry(TkvStream& s, TkvView& view);

} // namespace kv

// A type byte that selects no class.
class TkvUnknownViewType : public TkvError {
public:
    explicit TkvUnknownViewType(uint8_t type);
};
