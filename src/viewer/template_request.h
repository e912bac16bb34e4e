#pragma once
// A template to build and show, with the data options it is built with (--db, --data, --var and
// their values). It travels as one line of text: in the recent files, to a running copy, and as
// the name of the document window that shows it. File names in it are absolute, so that another
// copy with another working folder builds the same report.

#include <QString>
#include <QStringList>

struct TkvTemplateRequest {
    QString TemplateFile;
    QStringList Options;

    // Takes the template and the options of a command line (relative names against `workingDir`).
    static TkvTemplateRequest FromCommandLine(const QString& templateFile, const QStringList& options,
                                              const QString& workingDir);
    // The one-line form; Decode gives the request back. A report file's name never decodes.
    QString Encode() const;
    static bool Decode(const QString& line, TkvTemplateRequest& request);
    static bool IsRequest(const QString& line);
    // What the user sees: the template's full name, the options after it.
    QString Caption() const;
};
