#include "viewer/built_templates.h"

#include "core/report/report.h"

#include <QFileInfo>

QString TkvBuiltTemplates::Build(const QString& templateFile, const TkvTemplateBuildOptions& options,
                                 QByteArray& error) {
    if (!dir_.isValid()) {
        error = "cannot create a temporary folder for the built report";
        return {};
    }
    TkvReport report;
    if (kv::BuildTemplateFile(report, templateFile, options, error) == 0) return {};
    // Numbered, so that two templates of the same name do not overwrite each other's pages.
    const QString path =
        dir_.filePath(QString::number(++count_) + "-" + QFileInfo(templateFile).completeBaseName() + ".kvp");
    try {
        report.SavePreparedFile(path);
    } catch (const std::exception& e) {
        error = path.toUtf8() + ": " + kv::OneLineError(e.what());
        return {};
    }
    return path;
}

bool TkvBuiltTemplates::IsTemplate(const QString& fileName) {
    return QFileInfo(fileName).suffix().compare("kvf", Qt::CaseInsensitive) == 0;
}
