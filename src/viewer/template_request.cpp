#include "viewer/template_request.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

// The tag that opens the one-line form; a file name is always absolute and so starts with '/'.
const char* kTag = "kvf";

QString Absolute(const QString& path, const QString& workingDir) {
    return path.isEmpty() || QFileInfo(path).isAbsolute() ? path : QDir(workingDir).absoluteFilePath(path);
}

} // namespace

TkvTemplateRequest TkvTemplateRequest::FromCommandLine(const QString& templateFile, const QStringList& options,
                                                       const QString& workingDir) {
    TkvTemplateRequest r;
    r.TemplateFile = QDir::cleanPath(Absolute(templateFile, workingDir));
    for (qsizetype i = 0; i < options.size(); ++i) {
        QString value = options[i];
        const QString& before = i > 0 ? options[i - 1] : QString();
        if (before == "--db" && value.startsWith("sqlite:") && value != "sqlite::memory:") {
            value = "sqlite:" + Absolute(value.mid(7), workingDir);
        } else if (before == "--data") {
            const qsizetype eq = value.indexOf('=');
            if (eq > 0 && value.mid(eq + 1).startsWith("csv:"))
                value = value.left(eq + 1) + "csv:" + Absolute(value.mid(eq + 5), workingDir);
        }
        r.Options << value;
    }
    return r;
}

QString TkvTemplateRequest::Encode() const {
    QJsonArray a{QString::fromLatin1(kTag), TemplateFile};
    for (const QString& o : Options) a.append(o);
    return QString::fromUtf8(QJsonDocument(a).toJson(QJsonDocument::Compact));
}

bool TkvTemplateRequest::IsRequest(const QString& line) { return line.startsWith('['); }

bool TkvTemplateRequest::Decode(const QString& line, TkvTemplateRequest& request) {
    if (!IsRequest(line)) return false;
    const QJsonDocument doc = QJsonDocument::fromJson(line.toUtf8());
    const QJsonArray a = doc.array();
    if (!doc.isArray() || a.size() < 2 || a[0].toString() != QLatin1String(kTag) || !a[1].isString()) return false;
    TkvTemplateRequest r;
    r.TemplateFile = a[1].toString();
    if (r.TemplateFile.isEmpty()) return false;
    for (qsizetype i = 2; i < a.size(); ++i) {
        if (!a[i].isString()) return false;
        r.Options << a[i].toString();
    }
    request = r;
    return true;
}

QString TkvTemplateRequest::Caption() const {
    QString text = QDir::toNativeSeparators(TemplateFile);
    for (const QString& o : Options) text += ' ' + (o.contains(' ') ? '"' + o + '"' : o);
    return text;
}
