#include "script/std_function_library.h"

#include "base/codepage.h"
#include "base/date_time.h"
#include "base/expression_evaluator.h"
#include "base/library_texts.h"
#include "base/number_format.h"
#include "base/value_ops.h"
#include "script/aggregates.h"
#include "script/function_context.h"
#include "script/script_dialogs.h"

#include <array>

namespace {

enum Function {
    fAvg, fCount, fDayOf, fFormatDateTime, fFormatFloat, fFormatText, fInput, fLength, fLowerCase, fMax, fMaxNum,
    fMessageBox, fMin, fMinNum, fMonthOf, fNameCase, fPos, fSum, fTrim, fUpperCase, fYearOf
};

constexpr std::array<const char*, 21> kFunctions = {
    "AVG", "COUNT", "DAYOF", "FORMATDATETIME", "FORMATFLOAT", "FORMATTEXT", "INPUT", "LENGTH", "LOWERCASE", "MAX",
    "MAXNUM", "MESSAGEBOX", "MIN", "MINNUM", "MONTHOF", "NAMECASE", "POS", "SUM", "TRIM", "UPPERCASE", "YEAROF"};

struct Description {
    const char* Name;
    int Category;
    int Text;
};

// In the order the designer lists them.
constexpr Description kDescriptions[] = {
    {"AVG", 55349, 55360},          {"COUNT", 55349, 55361},          {"DAYOF", 55350, 55362},
    {"FORMATDATETIME", 55351, 55363}, {"FORMATFLOAT", 55351, 55364},  {"FORMATTEXT", 55351, 55416},
    {"INPUT", 55352, 55365},        {"LENGTH", 55351, 55366},         {"LOWERCASE", 55351, 55367},
    {"MAX", 55349, 55368},          {"MIN", 55349, 55369},            {"MONTHOF", 55350, 55370},
    {"NAMECASE", 55351, 55371},     {"STRTODATE", 55350, 55372},      {"STRTOTIME", 55350, 55373},
    {"SUM", 55349, 55374},          {"TRIM", 55351, 55375},           {"UPPERCASE", 55351, 55376},
    {"YEAROF", 55350, 55377},       {"MAXNUM", 55353, 55412},         {"MINNUM", 55353, 55413},
    {"POS", 55351, 55414},          {"MESSAGEBOX", 55352, 55415},     {"IF", 55352, 55378},
    {"COPY", 55351, 55379},         {"MOD", 55353, 55380},            {"STR", 55351, 55381},
    {"NOT", 55354, 55382},          {"AND", 55354, 55383},            {"OR", 55354, 55384},
    {"ROUND", 55353, 55385},        {"FRAC", 55353, 55386},           {"INT", 55353, 55387},
    {"TRUE", 55354, 55388},         {"FALSE", 55354, 55389},          {"PAGE#", 55352, 55390},
    {"DATE", 55350, 55391},         {"TIME", 55350, 55392},           {"LINE#", 55352, 55393},
    {"LINETHROUGH#", 55352, 55394}, {"COLUMN#", 55352, 55395},        {"TOTALPAGES", 55352, 55396},
    {"REPORTCOMMENT", 55622, 55623}, {"REPORTNAME", 55622, 55624},    {"REPORTAUTOR", 55622, 55625},
    {"VMAJOR", 55622, 55626},       {"VMINOR", 55622, 55627},         {"VRELEASE", 55622, 55628},
    {"VBUILD", 55622, 55629},       {"REPORTDATE", 55622, 55630},     {"REPORTLASTCHANGE", 55622, 55631},
    {"MROK", 55355, 55397},         {"MRCANCEL", 55355, 55398},       {"CURY", 55355, 55399},
    {"FREESPACE", 55355, 55400},    {"FINALPASS", 55355, 55401},      {"PAGEHEIGHT", 55355, 55402},
    {"PAGEWIDTH", 55355, 55403},    {"PROGRESS", 55355, 55404},       {"MODALRESULT", 55355, 55405},
    {"STOPREPORT", 55355, 55406},   {"NEWPAGE", 55355, 55407},        {"NEWCOLUMN", 55355, 55408},
    {"SHOWBAND", 55355, 55409},     {"INC", 55355, 55410},            {"DEC", 55355, 55411},
};

QByteArray Text(int id) {
    const char* t = kv::BuiltInLibraryText(id);
    return t ? QByteArray(t) : QByteArray();
}

constexpr int kMaxMask = 4096;

} // namespace

namespace kv {

QByteArray FormatMaskText(const QByteArray& fullMask, const QByteArray& text) {
    if (fullMask.size() > kMaxMask) throw TkvVariantError("The edit mask is longer than 4096 characters");
    // Only the first section is the mask; the others say whether literals are kept in the value and
    // which character marks a blank, neither of which changes how a value is shown.
    QByteArray mask;
    for (qsizetype i = 0; i < fullMask.size(); ++i) {
        if (fullMask[i] == '\\') {
            if (i + 1 >= fullMask.size()) throw TkvVariantError("The edit mask ends with a lone \\");
            mask += fullMask.mid(i, 2);
            ++i;
        } else if (fullMask[i] == ';') {
            break;
        } else {
            mask += fullMask[i];
        }
    }
    QByteArray out;
    qsizetype next = 0;
    int caseMode = 0; // 1 upper, -1 lower
    for (qsizetype i = 0; i < mask.size(); ++i) {
        const char m = mask[i];
        switch (m) {
        case '\\': out += mask[++i]; break;
        case '>': caseMode = 1; break;
        case '<':
            if (i + 1 < mask.size() && mask[i + 1] == '>') {
                caseMode = 0;
                ++i;
            } else {
                caseMode = -1;
            }
            break;
        case '!': break;
        case '_': out += ' '; break;
        case '0':
        case '9':
        case '#':
        case 'L':
        case 'l':
        case 'A':
        case 'a':
        case 'C':
        case 'c': {
            char c = next < text.size() ? text[next++] : ' ';
            if (caseMode > 0 && c >= 'a' && c <= 'z') c = char(c - 32);
            if (caseMode < 0 && c >= 'A' && c <= 'Z') c = char(c + 32);
            out += c;
            break;
        }
        default: out += m;
        }
    }
    return out;
}

} // namespace kv

TkvStdFunctionLibrary::TkvStdFunctionLibrary() {
    for (const char* name : kFunctions) FunctionList.append(name);
    for (const Description& d : kDescriptions) AddFunctionDesc(d.Name, Text(d.Category), Text(d.Text));
}

void TkvStdFunctionLibrary::ComputeFunction(TkvFunctionContext& context, int index, const TkvVariant& p1,
                                            const TkvVariant& p2, const TkvVariant& p3, TkvVariant& value) {
    const TkvFormatSettings& fs = *context.Settings;
    value = TkvVariant("0");
    auto eval = [&](const TkvVariant& arg) {
        if (!context.Evaluate) throw TkvExpressionError("Functions cannot evaluate their arguments here");
        return context.Evaluate(arg.toText());
    };
    auto text = [&](const TkvVariant& arg) { return kvval::ToText(eval(arg), fs); };
    auto date = [&](const TkvVariant& arg) { return kv::DecodeDateTime(kvval::ToDateTime(eval(arg), fs)); };
    auto recase = [&](const QByteArray& s, bool upper) {
        const QString u = kv::DecodeText(s, kvcs::Default);
        return kv::EncodeText(upper ? u.toUpper() : u.toLower(), kvcs::Default);
    };
    TkvHeadlessDialogs headless;
    TkvScriptDialogs& dialogs = context.Dialogs ? *context.Dialogs : static_cast<TkvScriptDialogs&>(headless);
    switch (Function(index)) {
    case fAvg:
    case fCount:
    case fMax:
    case fMin:
    case fSum:
        if (context.Aggregates)
            value = context.Aggregates->Call(kvagg::KindOf(FunctionList[index]), p1.toText(), p2.toText(), p3.toText(),
                                             fs, value);
        break;
    case fDayOf: value = TkvVariant(int64_t(date(p1).Day)); break;
    case fMonthOf: value = TkvVariant(int64_t(date(p1).Month)); break;
    case fYearOf: value = TkvVariant(int64_t(date(p1).Year)); break;
    case fFormatDateTime: {
        const QByteArray pattern = text(p1);
        value = TkvVariant(kv::FormatDateTime(pattern, kvval::ToDateTime(eval(p2), fs), fs));
        break;
    }
    case fFormatFloat: {
        const QByteArray pattern = text(p1);
        value = TkvVariant(kv::FormatFloat(pattern, kvval::ToDouble(eval(p2), fs), fs));
        break;
    }
    case fFormatText: {
        const QByteArray mask = text(p1);
        // A lone backslash at the end would quote the section separator appended here.
        qsizetype escapes = 0;
        while (escapes < mask.size() && mask[mask.size() - 1 - escapes] == '\\') ++escapes;
        if (escapes % 2) throw TkvVariantError("The edit mask ends with a lone \\");
        value = TkvVariant(kv::FormatMaskText(mask + ";0; ", text(p2)));
        break;
    }
    case fInput: {
        const QByteArray caption = text(p1);
        value = TkvVariant(dialogs.Input(caption, p2.toText().trimmed().isEmpty() ? QByteArray() : text(p2)));
        break;
    }
    case fMessageBox: {
        const QByteArray message = text(p1);
        const QByteArray title = text(p2);
        value = TkvVariant(int64_t(dialogs.MessageBox(message, title, int(kvval::ToInteger(eval(p3), fs)))));
        break;
    }
    case fLength: value = TkvVariant(int64_t(kv::DecodeText(text(p1), kvcs::Default).size())); break;
    case fLowerCase: value = TkvVariant(recase(text(p1), false)); break;
    case fUpperCase: value = TkvVariant(recase(text(p1), true)); break;
    case fNameCase: {
        QString s = kv::DecodeText(text(p1), kvcs::Default).toLower();
        if (!s.isEmpty()) s[0] = s[0].toUpper();
        value = TkvVariant(kv::EncodeText(s, kvcs::Default));
        break;
    }
    case fTrim: {
        QByteArray s = text(p1);
        qsizetype b = 0, e = s.size();
        while (b < e && uint8_t(s[b]) <= 32) ++b;
        while (e > b && uint8_t(s[e - 1]) <= 32) --e;
        value = TkvVariant(s.mid(b, e - b));
        break;
    }
    case fPos: {
        const QByteArray sub = text(p1);
        const QByteArray s = text(p2);
        value = TkvVariant(int64_t(sub.isEmpty() ? 0 : s.indexOf(sub) + 1));
        break;
    }
    case fMaxNum:
    case fMinNum: {
        const TkvVariant a = eval(p1);
        const TkvVariant b = eval(p2);
        const auto op = index == fMaxNum ? kvval::Compare::Greater : kvval::Compare::Less;
        value = kvval::CompareValues(a, b, op, fs) ? a : b;
        break;
    }
    }
}
