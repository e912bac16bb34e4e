#pragma once
// Templates named on kvviewer's command line (`kvviewer TEMPLATE.kvf [--db ...] [--data ...]
// [--var ...]`) are built, as `kvtool build` builds them, into prepared reports kept in a
// temporary folder for the session, and opened like any report.

#include "app/template_build.h"

#include <QTemporaryDir>

class TkvBuiltTemplates {
public:
    // Builds `templateFile` and returns the prepared report's path; an empty path with `error`
    // set to one line when the template, its data or its build failed.
    QString Build(const QString& templateFile, const TkvTemplateBuildOptions& options, QByteArray& error);

    // Whether the file is a template (.kvf) rather than a prepared report.
    static bool IsTemplate(const QString& fileName);

private:
    QTemporaryDir dir_;
    int count_ = 0;
};
