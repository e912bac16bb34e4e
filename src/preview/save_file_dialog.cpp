#include "preview/save_file_dialog.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>

namespace kv {

QString WithFilterExtension(const QString& fileName, const QString& filter) {
    static const QRegularExpression pattern(QStringLiteral("\\*\\.([^\\s;)*]+)"));
    QStringList extensions;
    for (auto it = pattern.globalMatch(filter); it.hasNext();) extensions << it.next().captured(1);
    if (extensions.isEmpty() || fileName.isEmpty()) return fileName;
    for (const QString& ext : extensions)
        if (fileName.endsWith('.' + ext, Qt::CaseInsensitive)) return fileName;
    return fileName + '.' + extensions.first();
}

SaveFileChoice AskSaveFileName(QWidget* parent, const QString& caption, const QStringList& filters,
                               const QString& directory, const QString& selectedFilter) {
    const QFileInfo start(directory);
    const bool offersName = !directory.isEmpty() && !start.isDir();
    QFileDialog dialog(parent, caption, offersName ? start.absolutePath() : directory);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    if (!selectedFilter.isEmpty()) dialog.selectNameFilter(selectedFilter);
    if (offersName) dialog.selectFile(start.fileName());
    // The dialog's own question would come before the extension is added, about another name.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
        const QString filter = dialog.selectedNameFilter();
        const QString name = WithFilterExtension(dialog.selectedFiles().first(), filter);
        const QFileInfo info(name);
        if (info.exists()) {
            const auto answer = QMessageBox::question(
                parent, caption.isEmpty() ? QCoreApplication::translate("kv", "Save as") : caption,
                QCoreApplication::translate("kv", "\"%1\" already exists. Do you want to replace it?")
                    .arg(info.absoluteFilePath()),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
            if (answer != QMessageBox::Yes) {
                dialog.selectFile(info.fileName());
                continue;
            }
        }
        return {info.absoluteFilePath(), int(filters.indexOf(filter))};
    }
}

} // namespace kv
