#pragma once
// The save dialog of the preview and the viewer. The name the user typed is kept, except that the
// chosen filter's extension is appended when the name has none of that filter's extensions; any file
// of the final name is replaced only after the user agreed. The dialog reopens when the user does not
// want to replace a file.

#include <QString>
#include <QStringList>

class QWidget;

namespace kv {

struct SaveFileChoice {
    QString fileName;     // empty: cancelled
    int filterIndex = -1; // index in the filters given
};

// filters: "Description (*.ext1 *.ext2)" entries.
// `directory`: the folder it opens in, or a file name in a folder that it offers.
// `selectedFilter`: the filter chosen when the dialog opens (the first one when empty).
SaveFileChoice AskSaveFileName(QWidget* parent, const QString& caption, const QStringList& filters,
                               const QString& directory = {}, const QString& selectedFilter = {});

// The name with the first extension of `filter` appended unless it already ends in one of the
// filter's extensions (compared without regard to case). A filter without extensions keeps the name.
QString WithFilterExtension(const QString& fileName, const QString& filter);

} // namespace kv
