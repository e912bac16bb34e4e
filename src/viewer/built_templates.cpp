#include "viewer/built_templates.h"

#include "core/report/report.h"

#include <QFileInfo>

namespace kv {

bool IsTemplateFile(const QString& fileName) {
    return QFileInfo(fileName).suffix().compare("kvf", Qt::CaseInsensitive) == 0;
}

int BuildTemplateInto(TkvReport& report, const TkvTemplateRequest& request, TkvBuildHost* host,
                      TkvDialogHost* dialogs, QByteArray& error, bool& cancelled) {
    cancelled = false;
    TkvTemplateBuildOptions options;
    for (int i = 0; i < request.Options.size(); ++i) {
        if (options.TakeOption(request.Options, i, error)) continue;
        if (error.isEmpty()) error = "unknown option " + request.Options[i].toUtf8();
        return 0;
    }
    options.Host = host;
    options.Dialogs = dialogs;
    // The template is built in a report of its own; the pages move over when the build worked.
    TkvReport built;
    const int pages = BuildTemplateFile(built, request.TemplateFile, options, error, &cancelled);
    if (pages == 0) return 0;
    report.SetEMFPages(built.TakeEMFPages());
    report.Title = built.Title;
    report.Rebuildable = false;
    return pages;
}

} // namespace kv
