#include "designer/insp_model.h"

#include "base/text_util.h"
#include "core/library_context.h"
#include "core/object.h"
#include "core/report/page.h"
#include "core/report/report.h"
#include "core/views/memo_view.h"
#include "core/views/view.h"

#include <algorithm>
#include <map>

namespace {

bool LessNoCase(const QByteArray& a, const QByteArray& b) {
    return a.compare(b, Qt::CaseInsensitive) < 0;
}

// The listed names of an object with a non-zero kind, and their records.
std::vector<TkvPropRec*> ListedProperties(TkvObject& object) {
    object.RegisterProperties();
    std::vector<TkvPropRec*> out;
    for (auto& rec : object.PropertyTable)
        if (rec->PropKind != 0) out.push_back(rec.get());
    return out;
}

QByteArray ValueText(TkvObject& object, const TkvPropRec& rec) {
    if ((rec.PropKind & kvpk::Editor) && !(rec.PropKind & kvpk::Text)) return "(" + rec.PropName + ")";
    try {
        return object.Property(rec.PropName).toText();
    } catch (const TkvError&) {
        return {};
    }
}

const QByteArray kSentinel = "-";

bool IsNameChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           u >= 0x80;
}

// Replaces whole-word occurrences of `from` in text[begin, end) outside quotes; `comments` also
// skips { ... } and // ... comments (scripts).
QByteArray RenameWords(const QByteArray& text, const QByteArray& from, const QByteArray& to, bool comments) {
    if (from.isEmpty()) return text;
    QByteArray out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const char c = text[i];
        if (c == '\'' || c == '"') {
            const qsizetype close = text.indexOf(c, i + 1);
            const qsizetype end = close < 0 ? n : close + 1;
            out += text.mid(i, end - i);
            i = end;
            continue;
        }
        if (comments && c == '{') {
            const qsizetype close = text.indexOf('}', i + 1);
            const qsizetype end = close < 0 ? n : close + 1;
            out += text.mid(i, end - i);
            i = end;
            continue;
        }
        if (comments && c == '/' && i + 1 < n && text[i + 1] == '/') {
            qsizetype end = i + 2;
            while (end < n && text[end] != '\r' && text[end] != '\n')
                ++end;
            out += text.mid(i, end - i);
            i = end;
            continue;
        }
        if (IsNameChar(c)) {
            qsizetype end = i;
            while (end < n && IsNameChar(text[end]))
                ++end;
            const QByteArray word = text.mid(i, end - i);
            // A word after "." is a member of something else; one starting with a digit is a number.
            qsizetype before = i - 1;
            while (before >= 0 && (text[before] == ' ' || text[before] == '\t'))
                --before;
            const bool member = before >= 0 && text[before] == '.';
            if (!member && word.compare(from, Qt::CaseInsensitive) == 0)
                out += to;
            else
                out += word;
            i = end;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

struct Restore {
    TkvObject* Object;
    QByteArray Name;
    TkvVariant Old;
};

// Puts back the values taken before a failed change; a setter failing again changes nothing more.
void RestoreAll(std::vector<Restore>& done) {
    for (auto it = done.rbegin(); it != done.rend(); ++it) {
        try {
            it->Object->SetProperty(it->Name, it->Old);
        } catch (const std::exception&) {
        }
    }
}

bool IsSizeRow(const TkvInspRow& row) {
    return (row.DataType & kvpk::PageUnits) != 0;
}

// The kind the object itself gives the property (the row's kind may be adjusted for the unit).
uint16_t OwnKind(TkvObject& object, const QByteArray& name) {
    object.EnsureProperties();
    const TkvPropRec* rec = object.FindProperty(name);
    return rec ? rec->PropKind : 0;
}

} // namespace

namespace kvinsp {

TkvInspContents FillRows(const TkvInspSelection& sel) {
    TkvInspContents c;
    if (!sel.Page) return c;
    std::vector<TkvObject*> objects;
    std::vector<QByteArray> names;
    std::map<QByteArray, TkvPropRec*> first; // upper-cased name -> descriptor of the first object
    if (sel.Views.empty()) {
        objects.push_back(sel.Page);
        for (TkvPropRec* rec : ListedProperties(*sel.Page)) {
            names.push_back(rec->PropName);
            first.emplace(rec->PropName.toUpper(), rec);
        }
        c.CurrentObject = sel.Page;
        c.Caption = "Page" + QByteArray::number(sel.PageIndex + 1);
    } else {
        for (TkvView* v : sel.Views)
            objects.push_back(v);
        for (TkvPropRec* rec : ListedProperties(*sel.Views.front())) {
            if (sel.Views.size() > 1 && (rec->PropKind & kvpk::SingleOnly)) continue;
            names.push_back(rec->PropName);
            first.emplace(rec->PropName.toUpper(), rec);
        }
        for (size_t i = 1; i < sel.Views.size(); ++i) {
            std::vector<TkvPropRec*> has = ListedProperties(*sel.Views[i]);
            std::erase_if(names, [&](const QByteArray& n) {
                return std::none_of(has.begin(), has.end(), [&](TkvPropRec* r) {
                    return r->PropName.compare(n, Qt::CaseInsensitive) == 0;
                });
            });
        }
        if (sel.Views.size() == 1) {
            c.CurrentObject = sel.Views.front();
            c.Caption = sel.Views.front()->Name;
        }
    }
    std::stable_sort(names.begin(), names.end(), LessNoCase);
    names.erase(std::unique(names.begin(), names.end(),
                            [](const QByteArray& a, const QByteArray& b) {
                                return a.compare(b, Qt::CaseInsensitive) == 0;
                            }),
                names.end());

    const bool dialogPage = sel.Page->PageType == kvpt::Dialog;
    const TkvDesignerUnit unit = dialogPage ? TkvDesignerUnit::Pixels : sel.Unit;
    for (const QByteArray& name : names) {
        TkvPropRec* rec = first.at(name.toUpper());
        QByteArray text = kSentinel;
        for (TkvObject* o : objects) {
            TkvPropRec* own = o->FindProperty(name);
            const QByteArray v = ValueText(*o, own ? *own : *rec);
            if (text == kSentinel)
                text = v;
            else if (v != text)
                text.clear();
        }
        uint16_t kind = rec->PropKind;
        if ((kind & kvpk::PageUnits) && !text.isEmpty()) {
            bool ok = false;
            const double units = text.toDouble(&ok);
            if (ok) text = SizeText(units, unit);
        }
        if (kind == kvpk::PageUnits)
            kind = unit != TkvDesignerUnit::Pixels ? (kvpk::PageUnits | kvpk::Real)
                                                   : (kvpk::PageUnits | kvpk::Integer);
        TkvInspRow row;
        row.Name = rec->PropName;
        row.DataType = kind;
        row.Editor = rec->EditorProc;
        if (rec->EnumNames) row.Enum = *rec->EnumNames;
        row.EnumValues = rec->EnumValues;
        row.Text = DisplayForm(TkvVariant(text), kind, row.Enum, row.EnumValues);
        c.Rows.push_back(std::move(row));
    }
    return c;
}

bool NameIsFree(const TkvReport* report, const TkvView& view, const QByteArray& name) {
    if (name.trimmed().isEmpty()) return false;
    if (report) {
        for (const auto& page : report->Pages)
            for (const auto& v : page->Objects)
                if (v.get() != &view && v->Name.compare(name, Qt::CaseInsensitive) == 0) return false;
    }
    if (view.IsDialogControl() && kv::Library().DialogFormHasComponent &&
        name.compare(view.Name, Qt::CaseInsensitive) != 0 && kv::Library().DialogFormHasComponent(name))
        return false;
    return true;
}

TkvInspApplyResult ApplyRow(const TkvInspSelection& sel, const TkvInspRow& row,
                            const TkvInspApplyHooks& hooks) {
    if (!sel.Page) return TkvInspApplyResult::Skipped;
    const bool dialogPage = sel.Page->PageType == kvpt::Dialog;
    const TkvDesignerUnit unit = dialogPage ? TkvDesignerUnit::Pixels : sel.Unit;
    TkvVariant value = RowValue(row);
    std::vector<Restore> done;

    if (sel.Views.empty()) {
        TkvPage& page = *sel.Page;
        if (sel.DesignerRestrictions & kvdr::PageOptions) return TkvInspApplyResult::Skipped;
        if (IsSizeRow(row))
            value = SizeFromDesignerUnit(value, unit, !(OwnKind(page, row.Name) & kvpk::Real));
        if (row.Name.compare("Type", Qt::CaseInsensitive) == 0 && !page.Objects.empty() &&
            value.toInt() != page.PageType) {
            if (!hooks.ConfirmPageTypeChange || !hooks.ConfirmPageTypeChange())
                return TkvInspApplyResult::Cancelled;
            page.Objects.clear();
        }
        done.push_back({&page, row.Name, page.Property(row.Name)});
        try {
            page.SetProperty(row.Name, value);
            if (page.PageType == kvpt::Report)
                page.ChangePaper(page.PaperSize, page.PaperWidth, page.PaperHeight, page.PaperBin,
                                 page.Orientation);
        } catch (const std::exception& e) {
            RestoreAll(done);
            throw TkvError(std::string("The value was not taken: ") + e.what());
        }
        if (hooks.MarkModified) hooks.MarkModified();
        return TkvInspApplyResult::Applied;
    }

    if (sel.DesignerRestrictions & kvdr::Properties) return TkvInspApplyResult::Skipped;
    const bool isName = row.Name.compare("Name", Qt::CaseInsensitive) == 0;
    const bool isMove = row.Name.compare("Left", Qt::CaseInsensitive) == 0 ||
                        row.Name.compare("Top", Qt::CaseInsensitive) == 0;
    const bool isSize = row.Name.compare("Width", Qt::CaseInsensitive) == 0 ||
                        row.Name.compare("Height", Qt::CaseInsensitive) == 0;
    if (IsSizeRow(row) && !dialogPage)
        value = SizeFromDesignerUnit(value, unit, !(OwnKind(*sel.Views.front(), row.Name) & kvpk::Real));

    // Which views take the value.
    std::vector<TkvView*> targets;
    for (TkvView* v : sel.Views) {
        if (isName) {
            const QByteArray name = value.toText().trimmed();
            if ((v->Restrictions & kvvr::Modify) || !NameIsFree(sel.Report, *v, name)) continue;
            value = name;
        }
        if (isMove && ((v->Restrictions & kvvr::Move) || (sel.DesignerRestrictions & kvdr::Move))) continue;
        if (isSize && ((v->Restrictions & kvvr::Size) || (sel.DesignerRestrictions & kvdr::Resize))) continue;
        targets.push_back(v);
    }
    if (targets.empty()) return TkvInspApplyResult::Skipped;

    if (hooks.BeforeChange) hooks.BeforeChange();
    try {
        for (TkvView* v : targets) {
            done.push_back({v, row.Name, v->Property(row.Name)});
            v->SetProperty(row.Name, value);
        }
    } catch (const std::exception& e) {
        RestoreAll(done);
        throw TkvError(std::string("The value was not taken: ") + e.what());
    }
    if (isName && sel.Report) {
        const QByteArray oldName = done.front().Old.toText();
        if (oldName.compare(value.toText(), Qt::CaseInsensitive) != 0)
            RenameReferences(*sel.Report, oldName, value.toText());
    }
    return TkvInspApplyResult::Applied;
}

QByteArray RenameInExpression(const QByteArray& expression, const QByteArray& oldName,
                              const QByteArray& newName) {
    return RenameWords(expression, oldName, newName, false);
}

QByteArray RenameInScript(const QByteArray& script, const QByteArray& oldName, const QByteArray& newName) {
    return RenameWords(script, oldName, newName, true);
}

QByteArray RenameInBrackets(const QByteArray& text, const QByteArray& oldName, const QByteArray& newName) {
    QByteArray out;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype open = text.indexOf('[', i);
        if (open < 0) break;
        // The expression runs to the matching "]" (brackets nest).
        int depth = 0;
        qsizetype close = -1;
        for (qsizetype j = open; j < text.size(); ++j) {
            if (text[j] == '[')
                ++depth;
            else if (text[j] == ']' && --depth == 0) {
                close = j;
                break;
            }
        }
        if (close < 0) break;
        out += text.mid(i, open + 1 - i);
        out += RenameInExpression(text.mid(open + 1, close - open - 1), oldName, newName);
        out += ']';
        i = close + 1;
    }
    out += text.mid(i);
    return out;
}

void RenameReferences(TkvReport& report, const QByteArray& oldName, const QByteArray& newName) {
    if (oldName.isEmpty()) return;
    auto renameScript = [&](TkvStringList& lines) {
        if (lines.isEmpty()) return;
        const TkvStringList renamed = kv::SplitLines(RenameInScript(kv::JoinLines(lines), oldName, newName));
        if (renamed != lines) lines = renamed;
    };
    for (const auto& page : report.Pages) {
        renameScript(page->Script);
        for (const auto& v : page->Objects) {
            for (QByteArray& line : v->Memo)
                line = RenameInBrackets(line, oldName, newName);
            v->Tag = RenameInBrackets(v->Tag, oldName, newName);
            renameScript(v->ScriptLines);
            if (auto* memo = dynamic_cast<TkvMemoView*>(v.get()))
                memo->HighlightCondition = RenameInExpression(memo->HighlightCondition, oldName, newName);
        }
    }
}

} // namespace kvinsp
