#pragma once
// The viewer's language: Russian or English, one at a time. It covers the viewer's own captions,
// the library's texts (the preview, print and export dialogs, messages) through the same
// translation files, and Qt's own dialogs (file, page setup, message box buttons).

#include <QString>
#include <QTranslator>

class TkvViewerLanguage {
public:
    TkvViewerLanguage() = default;
    ~TkvViewerLanguage();
    TkvViewerLanguage(const TkvViewerLanguage&) = delete;
    TkvViewerLanguage& operator=(const TkvViewerLanguage&) = delete;

    // "ru" or "en": KV_LANG's value when set, else the locale's name; anything but Russian is English.
    static QString Choose(const QString& kvLang, const QString& localeName);

    // Loads the translations of `language` (beside the program, or where they are installed) and
    // installs them with the library texts' hook. False when the viewer's own file was not found.
    bool Install(const QString& language, const QString& programDir = {});
    // Where the viewer's translation files were found ("" when none).
    QString LoadedFrom() const { return loadedFrom_; }

    // The library text of `id` in the installed language, as the library's hook answers it: empty
    // when there is no translation (the built-in text is used).
    static QByteArray TranslatedLibraryText(int id);

private:
    QTranslator viewer_, qt_;
    QString loadedFrom_;
    bool installed_ = false;
};
