#include "core/views/view_factory.h"

#include "core/globals.h"
#include "base/stream_text.h"

#include <array>

namespace kv {

namespace {

std::array<TkvViewCreator, 5>& BuiltInTypes() {
    static std::array<TkvViewCreator, 5> types;
    return types;
}

std::vector<TkvAddInObjectInfo>& AddIns() {
    static std::vector<TkvAddInObjectInfo> entries;
    return entries;
}

} // namespace

void RegisterViewType(uint8_t type, TkvViewCreator create) {
    if (type < BuiltInTypes().size()) BuiltInTypes()[type] = std::move(create);
}

bool RegisterAddInObject(const QByteArray& className, TkvViewCreator create, const QImage& picture,
                         const QByteArray& hint) {
    for (const auto& e : AddIns())
        if (e.ClassName == className) return true;
    if (static_cast<int>(AddIns().size()) >= kMaxRegistryEntries) return false;
    AddIns().push_back({className, std::move(create), picture, hint, 0});
    return true;
}

void UnregisterAllAddIns() { AddIns().clear(); }

const std::vector<TkvAddInObjectInfo>& AddInObjects() { return AddIns(); }

std::unique_ptr<TkvView> CreateViewByType(uint8_t type, const QByteArray& className) {
    std::unique_ptr<TkvView> view;
    if (type < BuiltInTypes().size() && BuiltInTypes()[type]) {
        view = BuiltInTypes()[type]();
    } else if (type == kvvt::AddIn) {
        for (const auto& e : AddIns()) {
            if (e.ClassName == className) {
                view = e.Create();
                view->ObjectType = kvvt::AddIn;
                break;
            }
        }
        if (!view) {
            ErrorFlag() = true;
            ErrorText() += className + '\r';
            throw TkvClassNotFound(ErrorText().toStdString());
        }
    } else {
        throw TkvUnknownViewType(type);
    }
    view->ID = NextViewID()++;
    return view;
}

std::unique_ptr<TkvView> ReadObjectEntry(TkvStream& s, bool prepared) {
    const uint8_t type = s.ReadByte("an object type");
    QByteArray className;
    if (type == kvvt::AddIn) className = ReadStreamString(s);
    std::unique_ptr<TkvView> view = CreateViewByType(type, className);
    view->Prepared = prepared ? 1 : 0;
    view->LoadFromStream(s);
    view->Prepared = 0;
    return view;
}

void WriteObjectEntry(TkvStream& s, TkvView& view) {
    s.WriteByte(view.ObjectType);
    if (view.ObjectType == kvvt::AddIn) WriteStreamString(s, view.ClassName());
    view.SaveToStream(s);
}

} // namespace kv

TkvUnknownViewType::TkvUnknownViewType(uint8_t type)
    : TkvError("Unknown object type " + std::to_string(type) + " in the stream") {}
