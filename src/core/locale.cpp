#include "core/locale.h"

#include "base/library_texts.h"

#include <QFile>
#include <memory>

namespace {

std::unique_ptr<TkvLocale>& LocaleInstance() {
    static std::unique_ptr<TkvLocale> instance;
    return instance;
}

} // namespace

TkvLocale& TkvLocale::Instance() {
    auto& instance = LocaleInstance();
    if (!instance) instance = std::make_unique<TkvLocale>();
    return *instance;
}

void TkvLocale::Release() {
    LocaleInstance().reset();
}

QByteArray TkvLocale::LoadString(int id) const {
    if (hook_) {
        QByteArray answer = hook_(id);
        if (!answer.isEmpty()) return answer;
    }
    const char* text = kv::BuiltInLibraryText(id);
    if (!text) return {};
    return QByteArray(text).left(kMaxTextLength);
}

QImage TkvLocale::LoadBitmap(const QByteArray& name) const {
    if (name.isEmpty()) return {};
    const QString path = QStringLiteral(":/kv/bitmaps/") + QString::fromLatin1(name) + QStringLiteral(".png");
    if (!QFile::exists(path)) return {};
    return QImage(path);
}

namespace kv {

QByteArray LoadLibraryText(int id) {
    return TkvLocale::Instance().LoadString(id);
}

QImage LoadLibraryBitmap(const QByteArray& name) {
    return TkvLocale::Instance().LoadBitmap(name);
}

} // namespace kv
