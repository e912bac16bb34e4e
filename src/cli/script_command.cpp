#include "cli/script_command.h"

#include "base/codepage.h"
#include "base/number_format.h"
#include "base/value_ops.h"
#include "script/standalone_interpretator.h"

#include <QFile>
#include <QRegularExpression>
#include <algorithm>

namespace {

using kvcli::CommandResult;

CommandResult Fail(const QByteArray& message, int code) {
    CommandResult r;
    r.ExitCode = code;
    QByteArray line = "script: " + message;
    line.replace('\r', ' ').replace('\n', ' ');
    r.Error = line;
    return r;
}

QByteArray ToCodePage(const QString& s) { return kv::EncodeText(s, kvcs::Default); }
QByteArray FromCodePage(const QByteArray& s) { return kv::DecodeText(s, kvcs::Default).toUtf8(); }

// "Line 3/14: message" as "3:14: message".
QByteArray CompilerStyle(const QByteArray& error) {
    static const QRegularExpression re(QStringLiteral("^Line (\\d+)/(\\d+): (.*)$"));
    const QRegularExpressionMatch m = re.match(QString::fromLatin1(error));
    if (!m.hasMatch()) return error;
    return (m.captured(1) + ":" + m.captured(2) + ": ").toLatin1() + error.mid(m.capturedStart(3));
}

} // namespace

namespace kvcli {

CommandResult ScriptFromArguments(const QStringList& args) {
    const TkvFormatSettings& fs = TkvFormatSettings::System();
    TkvStandaloneInterpretator interpretator(fs);
    bool compileOnly = false;
    bool haveSource = false;
    QByteArray source;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == "--compile") {
            compileOnly = true;
        } else if (a == "--var" || a == "--max-steps" || a == "-e") {
            if (i + 1 >= args.size()) return Fail(a.toUtf8() + " needs a value", 2);
            const QString v = args[++i];
            if (a == "-e") {
                if (haveSource) return Fail("give one script", 2);
                source = ToCodePage(v);
                haveSource = true;
            } else if (a == "--max-steps") {
                bool ok = false;
                const qlonglong n = v.toLongLong(&ok);
                if (!ok || n < 0) return Fail("--max-steps needs a number of steps, got '" + v.toUtf8() + "'", 2);
                interpretator.MaxSteps = n;
            } else {
                const qsizetype eq = v.indexOf('=');
                if (eq <= 0) return Fail("--var needs NAME=VALUE, got '" + v.toUtf8() + "'", 2);
                const QByteArray valueText = ToCodePage(v.mid(eq + 1));
                TkvVariant value;
                if (!kv::ParseNumber(valueText, fs, value)) value = TkvVariant(valueText);
                interpretator.Variables.SetVariable(ToCodePage(v.left(eq)), value);
            }
        } else if (a.startsWith("-") && a != "-") {
            return Fail("unknown option '" + a.toUtf8() + "'", 2);
        } else {
            if (haveSource) return Fail("give one script", 2);
            QFile file(a);
            if (!file.open(QIODevice::ReadOnly)) return Fail("cannot read '" + a.toUtf8() + "': " + file.errorString().toUtf8(), 2);
            const QByteArray bytes = file.read(kvscript::kMaxSourceLength + 1);
            if (bytes.size() > kvscript::kMaxSourceLength)
                return Fail("'" + a.toUtf8() + "' is longer than " + QByteArray::number(kvscript::kMaxSourceLength) +
                                " bytes",
                            2);
            source = ToCodePage(QString::fromUtf8(bytes));
            haveSource = true;
        }
    }
    if (!haveSource) return Fail("usage: kvtool script FILE|-e TEXT [--compile] [--var NAME=VALUE]... [--max-steps N]", 2);
    TkvStringList lines = kv::SplitLines(source);
    TkvStringList errors;
    TkvScriptPositions positions;
    interpretator.Compile(lines, lines, errors, &positions);
    if (!errors.isEmpty()) return Fail(FromCodePage(CompilerStyle(errors.first())), 1);
    CommandResult r;
    if (compileOnly) {
        for (qsizetype i = 0; i < lines.size(); ++i)
            r.Out += QByteArray::number(i) + ": " + FromCodePage(TkvInterpretator::DescribeLine(lines[i])) + "\n";
        return r;
    }
    try {
        interpretator.Execute(lines, {}, &positions);
    } catch (const std::exception& e) {
        return Fail(FromCodePage(CompilerStyle(QByteArray(e.what()))), 1);
    }
    QList<int> assigned;
    for (int i = 0; i < interpretator.Variables.Count(); ++i)
        if (interpretator.Assigned.contains(interpretator.Variables.Name(i).toUpper())) assigned.append(i);
    std::sort(assigned.begin(), assigned.end(), [&](int a, int b) {
        return interpretator.Variables.Name(a).compare(interpretator.Variables.Name(b), Qt::CaseInsensitive) < 0;
    });
    for (int i : assigned) {
        QByteArray value = kvval::ToText(interpretator.Variables.Value(i), fs);
        value.replace('\r', ' ').replace('\n', ' ');
        r.Out += FromCodePage(interpretator.Variables.Name(i)) + "=" + FromCodePage(value) + "\n";
    }
    return r;
}

} // namespace kvcli
