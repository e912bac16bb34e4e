#pragma once
// Library texts and named bitmaps. Every user-visible library text is looked up by id here, so an
// application can translate the library by installing a localisation hook.

#include <QByteArray>
#include <QImage>
#include <functional>

class TkvLocale {
public:
    // Answers a text id with a translated text, or with an empty text to keep the built-in one.
    using LocalizationHook = std::function<QByteArray(int id)>;

    // Created on first use; lives until Release (library shutdown).
    static TkvLocale& Instance();
    static void Release();

    // The hook's non-empty answer unchanged; otherwise the built-in English text (at most 1023
    // characters); an id without a text yields the empty text.
    QByteArray LoadString(int id) const;

    // A named bitmap of the program's resources (":/kv/bitmaps/<name>.png"); a null image when
    // there is none, never an error.
    QImage LoadBitmap(const QByteArray& name) const;

    void SetLocalizationHook(LocalizationHook hook) { hook_ = std::move(hook); }
    const LocalizationHook& GetLocalizationHook() const { return hook_; }

    static constexpr int kMaxTextLength = 1023;

private:
    LocalizationHook hook_;
};

namespace kv {

QByteArray LoadLibraryText(int id);
QImage LoadLibraryBitmap(const QByteArray& name);

} // namespace kv
