#pragma once
// Runs this build's kvtool (KV_KVTOOL, set by tests/CMakeLists.txt from the target) or another
// program and collects what it printed.
#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace kvtest {

struct ToolRun {
    int exitCode = -1; // -1: crashed, could not start or did not finish in time
    QByteArray out, err;
};

inline QString KvtoolPath() {
    return QStringLiteral(KV_KVTOOL);
}

inline ToolRun RunProgram(const QString& program, const QStringList& args, int timeoutMs = 60000,
                          const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    ToolRun r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

inline ToolRun RunKvtool(const QStringList& args, int timeoutMs = 60000,
                         const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    return RunProgram(KvtoolPath(), args, timeoutMs, env);
}

// The environment with fixed format settings (KV_FORMAT_SETTINGS) and a C locale, so that numbers
// and dates print the same on every machine.
inline QProcessEnvironment
FixedFormatEnvironment(const QByteArray& settings =
                           "decimal=.;thousands=,;dateSeparator=/;shortDate=mm/dd/yyyy;longTime=hh:nn:ss") {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("KV_FORMAT_SETTINGS", QString::fromLatin1(settings));
    env.insert("LANG", "C.UTF-8");
    env.remove("LC_ALL");
    return env;
}

} // namespace kvtest
