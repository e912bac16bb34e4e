#include "cli/expression_command.h"

#include "base/codepage.h"
#include "base/constants_list.h"
#include "base/date_time.h"
#include "base/display_format.h"
#include "base/number_format.h"
#include "base/value_ops.h"
#include "core/locale.h"
#include "engine/script/database_function_library.h"
#include "engine/script/report_interpretator.h"
#include "script/function_context.h"
#include "script/parser.h"
#include "script/std_function_library.h"

#include <QDateTime>

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

// The report language outside a report: the --var values and the named constants as names, DATE
// and TIME from the clock, and every function library a report calls (the standard and database
// libraries, then any registered one). A name or function found nowhere is an error, as it is in
// a report, never an empty value.
class EvalLanguage : public TkvExpressionEvaluator {
public:
    explicit EvalLanguage(const TkvFormatSettings& fs) : parser_(fs) {
        kv::FillConstantsList(constants_);
        context_.Evaluate = [this](const QByteArray& e) { return parser_.Evaluate(e); };
        context_.Settings = &fs;
        parser_.OnGetVariable = [this](const QByteArray& name, TkvVariant& value) { Name(name, value); };
        parser_.OnFunction = [this](const QByteArray& name, const TkvVariant& p1, const TkvVariant& p2,
                                    const TkvVariant& p3,
                                    TkvVariant& value) { Function(name, p1, p2, p3, value); };
    }

    TkvVariant Evaluate(const QByteArray& expression) override { return parser_.Evaluate(expression); }
    QByteArray ConvertToPostfix(const QByteArray& expression) override {
        return parser_.ConvertToPostfix(expression);
    }
    TkvVariant EvaluatePostfix(const QByteArray& postfix) override {
        return parser_.EvaluatePostfix(postfix);
    }
    const TkvFormatSettings& FormatSettings() const override { return parser_.Settings(); }

    TkvVariables Variables;

private:
    void Name(const QByteArray& name, TkvVariant& value) {
        int i = Variables.IndexOf(name);
        if (i >= 0) return void(value = Variables.Value(i));
        i = constants_.IndexOf(name);
        if (i >= 0) return void(value = constants_.Value(i));
        const QByteArray upper = name.toUpper();
        if (upper == "DATE" || upper == "TIME") {
            const QDateTime now = QDateTime::currentDateTime();
            double day = 0, time = 0;
            kv::EncodeDate(now.date().year(), now.date().month(), now.date().day(), day);
            kv::EncodeTime(now.time().hour(), now.time().minute(), now.time().second(), now.time().msec(),
                           time);
            return void(value = TkvVariant(TkvVariant::DateTimeValue{upper == "DATE" ? day : time}));
        }
        throw TkvExpressionError(kv::LoadLibraryText(55439).toStdString() + " \"" + name.toStdString() +
                                 "\"");
    }

    void Function(const QByteArray& name, const TkvVariant& p1, const TkvVariant& p2, const TkvVariant& p3,
                  TkvVariant& value) {
        value = QByteArray("0");
        if (standard_.TryFunction(context_, name, p1, p2, p3, value) ||
            database_.TryFunction(context_, name, p1, p2, p3, value) ||
            kv::CallFunctionLibraries(context_, name, p1, p2, p3, value))
            return;
        throw TkvExpressionError("Undefined function \"" + name.toStdString() + "\"");
    }

    TkvParser parser_;
    TkvVariables constants_{true};
    TkvFunctionContext context_;
    TkvStdFunctionLibrary standard_;
    TDatabaseFunctionLibrary database_;
};

} // namespace

namespace kvcli {

CommandResult EvalFromArguments(const QStringList& args) {
    const TkvFormatSettings& fs = TkvFormatSettings::System();
    EvalLanguage evaluator(fs);
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
