#include "cli/expression_command.h"

#include "base/codepage.h"
#include "base/date_time.h"
#include "base/display_format.h"
#include "base/number_format.h"
#include "base/value_ops.h"
#include "script/parser.h"

namespace {

using kvcli::CommandResult;

CommandResult Fail(const QByteArray& message) {
    CommandResult r;
    r.ExitCode = 2;
    QByteArray line = message;
    line.replace('\r', ' ').replace('\n', ' ');
    r.Error = line;
    return r;
}

// Arguments arrive in the terminal's encoding; the report language works on code page text.
QByteArray ToCodePage(const QString& s) { return kv::EncodeText(s, kvcs::Default); }
QByteArray FromCodePage(const QByteArray& s) { return kv::DecodeText(s, kvcs::Default).toUtf8(); }

QByteArray JsonString(const QByteArray& utf8) {
    QByteArray out = "\"";
    for (char c : utf8) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (uint8_t(c) < 0x20) out += QByteArray("\\u00") + QByteArray::number(uint8_t(c), 16).rightJustified(2, '0');
            else out += c;
        }
    }
    return out + "\"";
}

QByteArray Json(const TkvVariant& v, const TkvFormatSettings& fs) {
    TkvFormatSettings plain = fs;
    plain.DecimalSeparator = '.';
    switch (v.kind()) {
    case TkvVariant::Kind::Unassigned: return R"({"type": "unassigned", "value": null})";
    case TkvVariant::Kind::Null: return R"({"type": "null", "value": null})";
    case TkvVariant::Kind::Integer: return R"({"type": "integer", "value": )" + QByteArray::number(qlonglong(v.toInt())) + "}";
    case TkvVariant::Kind::Float: return R"({"type": "float", "value": )" + kv::FloatToText(v.toDouble(), plain) + "}";
    case TkvVariant::Kind::Boolean: return QByteArray(R"({"type": "boolean", "value": )") + (v.toBool() ? "true" : "false") + "}";
    case TkvVariant::Kind::DateTime:
        return R"({"type": "date", "value": )" + JsonString(kv::FormatDateTime("yyyy-mm-dd\"T\"hh:nn:ss", v.toDouble(), plain)) + "}";
    case TkvVariant::Kind::Text: return R"({"type": "text", "value": )" + JsonString(FromCodePage(v.toText())) + "}";
    case TkvVariant::Kind::Array: break;
    }
    return R"({"type": "array", "value": null})";
}

} // namespace

namespace kvcli {

CommandResult EvalFromArguments(const QStringList& args) {
    const TkvFormatSettings& fs = TkvFormatSettings::System();
    TkvParserEvaluator evaluator(fs);
    bool json = false;
    bool haveExpression = false;
    QByteArray expression;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (!optionsEnded && a == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && a == "--json") {
            json = true;
        } else if (!optionsEnded && (a == "--var" || a.startsWith("--var="))) {
            QString spec;
            if (a == "--var") {
                if (i + 1 >= args.size()) return Fail("eval: --var needs NAME=VALUE");
                spec = args[++i];
            } else {
                spec = a.mid(6);
            }
            const qsizetype eq = spec.indexOf('=');
            if (eq <= 0) return Fail("eval: --var needs NAME=VALUE, got '" + spec.toUtf8() + "'");
            const QByteArray valueText = ToCodePage(spec.mid(eq + 1));
            TkvVariant value;
            if (!kv::ParseNumber(valueText, fs, value)) value = TkvVariant(valueText);
            evaluator.Variables.SetVariable(ToCodePage(spec.left(eq)), value);
        } else if (!optionsEnded && a.startsWith("--")) {
            return Fail("eval: unknown option '" + a.toUtf8() + "'");
        } else {
            if (haveExpression) return Fail("eval: give one expression (quote it), got a second: '" + a.toUtf8() + "'");
            expression = ToCodePage(a);
            haveExpression = true;
        }
    }
    if (!haveExpression) return Fail("eval: no expression given");
    CommandResult r;
    try {
        if (json) {
            const kv::TkvInlineFormat f = kv::ParseInlineFormat(expression, 0, {});
            r.Out = Json(evaluator.Evaluate(f.Expression), fs) + "\n";
        } else {
            QByteArray text = FromCodePage(kv::ExpressionToText(expression, 0, {}, false, evaluator));
            text.replace("\r\n", " ").replace('\r', ' ').replace('\n', ' ');
            r.Out = text + "\n";
        }
    } catch (const std::exception& e) {
        return Fail("eval: " + QByteArray(e.what()));
    }
    return r;
}

CommandResult FormatFromArguments(const QStringList& args) {
    QStringList positional;
    bool optionsEnded = false;
    for (const QString& a : args) {
        if (!optionsEnded && a == "--") optionsEnded = true;
        else positional.append(a);
    }
    if (positional.size() != 2) return Fail("format: usage: kvtool format FORMAT VALUE");
    const TkvFormatSettings& fs = TkvFormatSettings::System();
    const QByteArray format = ToCodePage(positional[0]);
    uint32_t word = 0;
    QByteArray text;
    try {
        if (format.startsWith('#')) {
            const kv::TkvInlineFormat f = kv::ParseInlineFormat("0 " + format, 0, {});
            word = f.Word;
            text = f.Format;
        } else {
            bool ok = false;
            const qulonglong w = format.startsWith("0x") || format.startsWith("0X") ? format.mid(2).toULongLong(&ok, 16)
                                                                                      : format.toULongLong(&ok, 10);
            if (!ok || w > 0xFFFFFFFFull)
                return Fail("format: '" + positional[0].toUtf8() + "' is neither a format word (0x...) nor an inline format (#...)");
            word = uint32_t(w);
        }
    } catch (const std::exception& e) {
        return Fail("format: " + QByteArray(e.what()));
    }
    TkvVariant value;
    if (!kv::ParseNumber(ToCodePage(positional[1]), fs, value))
        return Fail("format: '" + positional[1].toUtf8() + "' is not a number");
    CommandResult r;
    r.Out = FromCodePage(kv::FormatValue(value, word, text, fs)) + "\n";
    return r;
}

} // namespace kvcli
