#include "viewer/language.h"

#include "base/codepage.h"
#include "base/library_texts.h"
#include "core/locale.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace {

// The translation context of the library texts; their source texts are the built-in English ones.
const char* kLibraryContext = "TkvLibraryText";

} // namespace

TkvViewerLanguage::~TkvViewerLanguage() {
    if (!installed_) return;
    QCoreApplication::removeTranslator(&viewer_);
    QCoreApplication::removeTranslator(&qt_);
}

QString TkvViewerLanguage::Choose(const QString& kvLang, const QString& localeName) {
    const QString lang = kvLang.trimmed().isEmpty() ? localeName : kvLang.trimmed();
    return lang.startsWith("ru", Qt::CaseInsensitive) ? "ru" : "en";
}

bool TkvViewerLanguage::Install(const QString& language, const QString& programDir) {
    const QString dir = programDir.isEmpty() ? QCoreApplication::applicationDirPath() : programDir;
    for (const QString& where : {dir + "/translations", dir + "/../share/kvviewer/translations"}) {
        if (viewer_.load("kvviewer_" + language, where)) {
            loadedFrom_ = where;
            break;
        }
    }
    if (!viewer_.isEmpty()) QCoreApplication::installTranslator(&viewer_);
    // Qt's own dialogs; English needs none.
    if (language != "en" && qt_.load("qtbase_" + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qt_);
    installed_ = true;
    TkvLocale::Instance().SetLocalizationHook(&TkvViewerLanguage::TranslatedLibraryText);
    return !viewer_.isEmpty();
}

QByteArray TkvViewerLanguage::TranslatedLibraryText(int id) {
    const char* source = kv::BuiltInLibraryText(id);
    if (!source) return {};
    const QString text = QCoreApplication::translate(kLibraryContext, source);
    if (text == QLatin1String(source)) return {};
    // The library keeps its texts in the default code page; a translation it cannot hold stays English.
    const QByteArray bytes = kv::EncodeText(text, kvcs::Default);
    return kv::DecodeText(bytes, kvcs::Default) == text ? bytes : QByteArray();
}
