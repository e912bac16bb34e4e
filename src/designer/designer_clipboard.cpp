#include "designer/designer_clipboard.h"

#include "base/stream.h"
#include "base/stream_text.h"
#include "base/stream_version.h"
#include "core/globals.h"
#include "core/views/view_factory.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {
constexpr char kMagic[4] = {'K', 'V', 'D', 'C'};
constexpr uint8_t kFormatVersion = 1;
} // namespace

QByteArray TkvDesignerClipboard::ViewStream(TkvView& view) {
    const uint8_t keptVersion = kv::StreamVersion;
    kv::StreamVersion = kv::CurrentStreamVersion;
    TkvMemoryStream m;
    m.WriteByte(view.ObjectType);
    kv::WriteStreamString(m, view.ClassName());
    view.Prepared = 0;
    view.SaveToStream(m);
    kv::StreamVersion = keptVersion;
    return m.TakeData();
}

std::unique_ptr<TkvView> TkvDesignerClipboard::ReadView(const QByteArray& stream) {
    const uint8_t keptVersion = kv::StreamVersion;
    kv::StreamVersion = kv::CurrentStreamVersion;
    // An unknown class notes itself in the build's error text; a paste is no build.
    const TkvSetForScope<bool> keepFlag(kv::ErrorFlag(), kv::ErrorFlag());
    const TkvSetForScope<QByteArray> keepText(kv::ErrorText(), kv::ErrorText());
    try {
        TkvMemoryStream m(stream);
        const uint8_t type = m.ReadByte("the object type");
        const QByteArray className = kv::ReadStreamString(m);
        std::unique_ptr<TkvView> view = kv::CreateViewByType(type, className);
        view->LoadFromStream(m);
        kv::StreamVersion = keptVersion;
        return view;
    } catch (const TkvClipboardError&) {
        kv::StreamVersion = keptVersion;
        throw;
    } catch (const std::exception& e) {
        kv::StreamVersion = keptVersion;
        throw TkvClipboardError(std::string("The clipboard holds damaged report objects: ") + e.what());
    }
}

QByteArray TkvDesignerClipboard::Encode(const std::vector<QByteArray>& items) {
    TkvMemoryStream m;
    m.WriteBuffer(kMagic, 4);
    m.WriteByte(kFormatVersion);
    m.WriteInt(static_cast<int32_t>(items.size()));
    for (const QByteArray& item : items) {
        m.WriteInt(static_cast<int32_t>(item.size()));
        m.WriteBytes(item);
    }
    return m.TakeData();
}

std::vector<QByteArray> TkvDesignerClipboard::Decode(const QByteArray& bytes) {
    try {
        TkvMemoryStream m(bytes);
        const QByteArray magic = m.ReadBytes(4, "the clipboard signature");
        if (magic != QByteArray(kMagic, 4)) throw TkvClipboardError("The clipboard does not hold report objects.");
        const uint8_t version = m.ReadByte("the clipboard format version");
        if (version != kFormatVersion)
            throw TkvClipboardError("The clipboard holds report objects of a version this program cannot read.");
        const int32_t count = m.ReadInt("the object count");
        // Every object takes at least its four length bytes.
        if (count < 0 || count > kMaxViews || int64_t(count) * 4 > m.Remaining())
            throw TkvClipboardError("The clipboard holds a damaged object count.");
        std::vector<QByteArray> items;
        items.reserve(static_cast<size_t>(count));
        for (int32_t i = 0; i < count; ++i) {
            const int32_t size = m.ReadInt("an object's length");
            if (size < 0 || size > m.Remaining())
                throw TkvClipboardError("The clipboard holds a damaged object length.");
            items.push_back(m.ReadBytes(size, "an object"));
        }
        return items;
    } catch (const TkvClipboardError&) {
        throw;
    } catch (const std::exception& e) {
        throw TkvClipboardError(std::string("The clipboard holds damaged report objects: ") + e.what());
    }
}

void TkvDesignerClipboard::SetItems(std::vector<QByteArray> items) {
    items_ = std::move(items);
    if (auto* clipboard = QGuiApplication::clipboard()) {
        auto* data = new QMimeData;
        data->setData(kMimeType, Encode(items_));
        clipboard->setMimeData(data);
    }
}

std::vector<QByteArray> TkvDesignerClipboard::ItemsToPaste() const {
    if (const QClipboard* clipboard = QGuiApplication::clipboard()) {
        const QMimeData* data = clipboard->mimeData();
        if (data && data->hasFormat(kMimeType)) return Decode(data->data(kMimeType));
    }
    return items_;
}

bool TkvDesignerClipboard::CanPaste() const {
    if (const QClipboard* clipboard = QGuiApplication::clipboard()) {
        const QMimeData* data = clipboard->mimeData();
        if (data && data->hasFormat(kMimeType)) return true;
    }
    return !items_.empty();
}
