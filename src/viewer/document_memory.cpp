#include "viewer/document_memory.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <algorithm>
#include <vector>

namespace kv {

namespace {

QString KeyOf(const QString& fileName) {
    return QString::fromLatin1(QCryptographicHash::hash(fileName.toUtf8(), QCryptographicHash::Sha1).toHex());
}

} // namespace

TkvDocumentMemory::TkvDocumentMemory(QString settingsFile) : file_(std::move(settingsFile)) {}

QString TkvDocumentMemory::DefaultFile() {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(dir);
    return QDir(dir).filePath("documents.ini");
}

void TkvDocumentMemory::Remember(const QString& fileName, int page, double zoomPercent, int fitMode) {
    if (fileName.isEmpty()) return;
    QSettings s(file_, QSettings::IniFormat);
    s.beginGroup("documents");
    s.beginGroup(KeyOf(fileName));
    s.setValue("page", page);
    s.setValue("zoom", zoomPercent);
    s.setValue("fit", fitMode);
    s.setValue("used", QDateTime::currentMSecsSinceEpoch());
    s.endGroup();
    // Forget the documents used longest ago beyond the limit.
    const QStringList keys = s.childGroups();
    if (keys.size() > MaxDocuments) {
        std::vector<std::pair<qint64, QString>> byAge;
        for (const QString& k : keys) byAge.emplace_back(s.value(k + "/used").toLongLong(), k);
        std::sort(byAge.begin(), byAge.end());
        for (size_t i = 0; i < byAge.size() - MaxDocuments; ++i) s.remove(byAge[i].second);
    }
    s.endGroup();
}

RememberedView TkvDocumentMemory::Recall(const QString& fileName) const {
    QSettings s(file_, QSettings::IniFormat);
    s.beginGroup("documents/" + KeyOf(fileName));
    RememberedView v;
    // The file may have been edited by hand: anything out of range counts as nothing remembered.
    bool ok = false;
    const int page = s.value("page").toInt(&ok);
    if (ok && page > 0) v.page = page;
    const double zoom = s.value("zoom").toDouble(&ok);
    if (ok && zoom >= 1 && zoom <= 10000) v.zoomPercent = zoom;
    const int fit = s.value("fit").toInt(&ok);
    if (ok && fit >= 1 && fit <= 3) v.fitMode = fit;
    return v;
}

QStringList TkvDocumentMemory::RecentFiles() const {
    QSettings s(file_, QSettings::IniFormat);
    QStringList list = s.value("recent/files").toStringList();
    list.removeAll(QString());
    list.removeDuplicates();
    return list.mid(0, MaxRecent);
}

void TkvDocumentMemory::AddRecentFile(const QString& fileName) {
    if (fileName.isEmpty()) return;
    QStringList list = RecentFiles();
    list.removeAll(fileName);
    list.prepend(fileName);
    QSettings s(file_, QSettings::IniFormat);
    s.setValue("recent/files", list.mid(0, MaxRecent));
}

void TkvDocumentMemory::ClearRecentFiles() {
    QSettings s(file_, QSettings::IniFormat);
    s.remove("recent");
}

} // namespace kv
