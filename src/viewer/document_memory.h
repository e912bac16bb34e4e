#pragma once
// What the viewer remembers between runs in the user's configuration folder: the recently opened
// files and, per document, the page and zoom it had when it was closed. Each call reads or writes
// the settings file; nothing is held in memory.

#include <QString>
#include <QStringList>

namespace kv {

struct RememberedView {
    int page = 0;            // 0: nothing remembered
    double zoomPercent = 0;  // 0: nothing remembered
    int fitMode = 0;         // 1 page width, 2 whole page, 3 two pages; 0: the fixed zoom above
};

class TkvDocumentMemory {
public:
    // The settings file; the default lies in the user's configuration folder.
    explicit TkvDocumentMemory(QString settingsFile = DefaultFile());

    // Documents and recent files are kept to these counts, the oldest dropped first.
    static constexpr int MaxDocuments = 200;
    static constexpr int MaxRecent = 10;

    void Remember(const QString& fileName, int page, double zoomPercent, int fitMode = 0);
    RememberedView Recall(const QString& fileName) const;

    // Most recent first, each file once.
    QStringList RecentFiles() const;
    void AddRecentFile(const QString& fileName);
    void ClearRecentFiles();

    static QString DefaultFile();

private:
    QString file_;
};

// The memory in the default file.
inline TkvDocumentMemory DocumentMemory() { return TkvDocumentMemory(); }

} // namespace kv
