#pragma once
// The designer clipboard: one stream per copied view (the view type byte, the class name as a
// stream string, the view's record), in list order. Copies also go to the system clipboard under
// a MIME type of our own, so that views can be pasted into another designer window or another
// running program; what comes from there is read as untrusted bytes.

#include "base/error.h"

#include <QByteArray>
#include <memory>
#include <vector>

class QMimeData;
class TkvView;

// A clipboard stream that cannot be read: the one-line reason.
class TkvClipboardError : public TkvError {
public:
    using TkvError::TkvError;
};

class TkvDesignerClipboard {
public:
    static constexpr const char* kMimeType = "application/x-kavora-views";
    // More views than this in one clipboard stream are refused.
    static constexpr int kMaxViews = 10000;

    // The view's clipboard stream.
    static QByteArray ViewStream(TkvView& view);
    // A view from its clipboard stream (a new ID, its stored name); raises TkvClipboardError.
    static std::unique_ptr<TkvView> ReadView(const QByteArray& stream);

    // All streams as one byte string for the system clipboard, and back. Decode raises
    // TkvClipboardError on damaged, truncated or oversized input.
    static QByteArray Encode(const std::vector<QByteArray>& items);
    static std::vector<QByteArray> Decode(const QByteArray& bytes);

    // Replaces the contents and puts them on the system clipboard as well.
    void SetItems(std::vector<QByteArray> items);
    // What to paste: the system clipboard's views when it holds ours, otherwise this clipboard's.
    // Raises TkvClipboardError when the system clipboard's bytes are damaged.
    std::vector<QByteArray> ItemsToPaste() const;
    bool CanPaste() const;
    const std::vector<QByteArray>& Items() const { return items_; }

private:
    std::vector<QByteArray> items_;
};
