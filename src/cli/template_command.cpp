#include "cli/template_command.h"

#include "base/codepage.h"
#include "app/report_data_sets.h"
#include "app/template_build.h"
#include "core/report/report.h"
#include "core/views/band_view.h"
#include "engine/data/dataset.h"
#include "engine/data/row_sources.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace kvcli {

namespace {

QString Text(const QByteArray& b) {
    return kv::DecodeText(b, 1);
}

QByteArray OneLine(const char* what) {
    QByteArray s(what);
    s.replace('\r', ' ');
    s.replace('\n', ' ');
    return s.simplified();
}

const char* const kBandTypeNames[] = {"Title",
                                      "Summary",
                                      "PageHeader",
                                      "PageFooter",
                                      "MasterHeader",
                                      "MasterData",
                                      "MasterFooter",
                                      "DetailHeader",
                                      "DetailData",
                                      "DetailFooter",
                                      "SubdetailHeader",
                                      "SubdetailData",
                                      "SubdetailFooter",
                                      "Overlay",
                                      "ColumnHeader",
                                      "ColumnFooter",
                                      "GroupHeader",
                                      "GroupFooter",
                                      "CrossHeader",
                                      "CrossData",
                                      "CrossFooter",
                                      "Child",
                                      "None"};

QString BandTypeName(int t) {
    return t >= 0 && t <= 22 ? kBandTypeNames[t] : QString::number(t);
}

QJsonArray ListJson(const TkvVariables& list) {
    QJsonArray a;
    for (int i = 0; i < list.Count(); ++i) {
        const TkvVariant v = list.Value(i);
        a.append(
            QJsonObject{{"name", Text(list.Name(i))}, {"value", v.isText() ? Text(v.toText()) : QString()}});
    }
    return a;
}

bool Load(TkvReport& report, const QString& path, CommandResult& r) {
    TkvTemplateLoadResult why;
    if (report.LoadFromFile(path, &why)) {
        // An empty file loads as an empty report, but it is no template to describe.
        if (why.status != TkvTemplateLoadResult::Status::Empty) return true;
        why.Message = "the file is empty, not a template";
    }
    r.ExitCode = 1;
    r.Error = path.toUtf8() + ": " + OneLine(why.Message.constData());
    return false;
}

} // namespace

CommandResult TemplateInfo(const QString& path, bool json) {
    StartLibrary();
    CommandResult r;
    TkvReport report;
    if (!Load(report, path, r)) return r;
    QJsonArray pages;
    QByteArray text =
        "template " + path.toUtf8() + "\npages " + QByteArray::number(report.PageCount()) + "\n";
    for (int i = 0; i < report.PageCount(); ++i) {
        const TkvPage& p = *report.Page(i);
        QJsonArray bands, objects;
        text += "page " + QByteArray::number(i + 1) + " " + Text(p.Name).toUtf8() +
                (p.PageType == kvpt::Dialog ? " dialog" : " report") + "\n";
        for (const auto& v : p.Objects) {
            if (auto* b = dynamic_cast<TkvBandView*>(v.get())) {
                bands.append(QJsonObject{{"name", Text(b->Name)},
                                         {"type", BandTypeName(b->BandType())},
                                         {"dataSource", Text(b->DataSource())},
                                         {"height", b->Height}});
                text += "  band " + Text(b->Name).toUtf8() + " " + BandTypeName(b->BandType()).toUtf8() +
                        " source \"" + Text(b->DataSource()).toUtf8() + "\" height " +
                        QByteArray::number(b->Height) + "\n";
                continue;
            }
            const QString memo = Text(v->Memo.join('\n'));
            objects.append(QJsonObject{{"name", Text(v->Name)},
                                       {"class", QString::fromLatin1(v->ClassName())},
                                       {"left", v->Left},
                                       {"top", v->Top},
                                       {"width", v->Width},
                                       {"height", v->Height},
                                       {"memo", memo}});
            QByteArray shown = memo.toUtf8();
            shown.replace('\n', "\\n");
            text += "  object " + Text(v->Name).toUtf8() + " " + v->ClassName() + " \"" + shown + "\"\n";
        }
        pages.append(QJsonObject{{"name", Text(p.Name)},
                                 {"type", p.PageType == kvpt::Dialog ? "dialog" : "report"},
                                 {"paperSize", p.PaperSize},
                                 {"paperWidth", p.PaperWidth},
                                 {"paperHeight", p.PaperHeight},
                                 {"bands", bands},
                                 {"objects", objects}});
    }
    const TkvDataDictionary& d = report.Dictionary;
    for (int i = 0; i < d.Variables.Count(); ++i) {
        const TkvVariant v = d.Variables.Value(i);
        text += "variable \"" + Text(d.Variables.Name(i)).toUtf8() + "\" = \"" +
                (v.isText() ? Text(v.toText()).toUtf8() : QByteArray()) + "\"\n";
    }
    if (!json) {
        r.Out = text;
        return r;
    }
    QJsonObject root{{"file", path},
                     {"pageCount", report.PageCount()},
                     {"pages", pages},
                     {"dictionary", QJsonObject{{"variables", ListJson(d.Variables)},
                                                {"fieldAliases", ListJson(d.FieldAliases)},
                                                {"bandDatasources", ListJson(d.BandDatasources)}}}};
    r.Out = QJsonDocument(root).toJson(QJsonDocument::Indented);
    return r;
}

CommandResult ConvertTemplate(const QString& in, const QString& out) {
    StartLibrary();
    CommandResult r;
    TkvReport report;
    if (!Load(report, in, r)) return r;
    try {
        report.SaveToFile(out);
    } catch (const std::exception& e) {
        r.ExitCode = 1;
        r.Error = out.toUtf8() + ": " + OneLine(e.what());
    }
    return r;
}

CommandResult DataList(const QStringList& args) {
    CommandResult r;
    QString db, templateFile;
    QList<QPair<QByteArray, QString>> data;
    int rows = 5;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--db" && hasValue) {
            db = args[++i];
        } else if (a == "--data" && hasValue) {
            QPair<QByteArray, QString> d;
            QByteArray error;
            if (!TkvReportDataSets::ParseData(args[++i], d, error)) {
                r.ExitCode = 2;
                r.Error = error;
                return r;
            }
            data.append(d);
        } else if (a == "--rows" && hasValue) {
            bool ok = false;
            rows = args[++i].toInt(&ok);
            if (!ok || rows < 0) {
                r.ExitCode = 2;
                r.Error = "--rows wants a number";
                return r;
            }
        } else if (!a.startsWith('-') && templateFile.isEmpty()) {
            templateFile = a;
        } else {
            r.ExitCode = 2;
            r.Error = "usage: kvtool data list [TEMPLATE.kvf] [--db sqlite:PATH|postgresql://...] "
                      "[--data NAME=SQL|NAME=csv:PATH]... [--rows N]";
            return r;
        }
    }
    TkvTemplateData resolved;
    if (!templateFile.isEmpty()) {
        try {
            resolved = kv::TemplateData(templateFile, db, data);
        } catch (const std::exception& e) {
            r.ExitCode = 1;
            r.Error = OneLine(e.what());
            return r;
        }
        if (resolved.Sets.empty()) {
            r.ExitCode = 1;
            r.Error = templateFile.toUtf8() + ": no data sets: " + kv::NoDataFileHint(templateFile);
            return r;
        }
    } else {
        if (data.isEmpty()) {
            r.ExitCode = 2;
            r.Error = "no data set given (TEMPLATE.kvf with its data file, or --data NAME=SQL|NAME=csv:PATH)";
            return r;
        }
        resolved.Database = db;
        for (const auto& [name, source] : data) resolved.Sets.push_back(TkvReportDataSets::Definition(name, source));
    }
    QByteArray current;
    try {
        const TkvReportDataSets sets(resolved.Database, resolved.Sets);
        for (TkvDBDataSet* set : sets.Sets()) {
            current = set->ComponentName();
            set->Init();
            TkvRecordSet& rs = set->Underlying();
            QByteArray out = set->ComponentName() + ":";
            for (const QByteArray& f : rs.FieldNames())
                out += ' ' + Text(f).toUtf8();
            out += '\n';
            int n = 0;
            for (set->First(); !set->Eof() && n < rows; set->Next(), ++n) {
                QByteArray line = " ";
                for (int i = 0; i < rs.FieldCount(); ++i) {
                    TkvDataField* f = rs.FieldAt(i);
                    QByteArray v = f->IsNull() ? QByteArray("(null)") : Text(f->DisplayText()).toUtf8();
                    v.replace('\n', "\\n");
                    line += (i ? "\t" : "") + v;
                }
                out += line.mid(1) + '\n';
            }
            set->Exit();
            r.Out += out;
        }
    } catch (const std::exception& e) {
        r.Out.clear();
        r.ExitCode = 1;
        QByteArray m = OneLine(e.what());
        if (!m.contains(current)) m = "Data set " + current + ": " + m;
        r.Error = m;
    }
    return r;
}

} // namespace kvcli
