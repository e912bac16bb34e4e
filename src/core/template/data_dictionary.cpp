#include "core/template/data_dictionary.h"

#include "base/atomic_file.h"
#include "base/file_stream.h"
#include "base/stream_version.h"
#include "core/globals.h"
#include "core/report/name_resolution.h"

#include <algorithm>

namespace {

// Each list entry needs at least a name and a value (two stream strings of at least one byte each
// in the old encoding), so a count is bounded by the bytes left before anything is allocated.
int32_t ReadCount(TkvStream& s, int minEntryBytes, const char* what) {
    const int32_t n = s.ReadInt(what);
    if (n < 0 || n > kvdict::MaxEntries) s.Fail(what);
    s.Require(static_cast<qint64>(n) * minEntryBytes, what);
    return n;
}

void ReadList(TkvStream& s, TkvVariables& list) {
    const int32_t n = ReadCount(s, 2, "a dictionary list count");
    for (int32_t i = 0; i < n; ++i) {
        const QByteArray name = kv::ReadStreamString(s);
        const QByteArray value = kv::ReadStreamString(s);
        list.SetVariable(name, TkvVariant(value));
    }
}

void WriteList(TkvStream& s, const TkvVariables& list) {
    s.WriteInt(list.Count());
    for (int i = 0; i < list.Count(); ++i) {
        kv::WriteStreamString(s, list.Name(i));
        const TkvVariant v = list.Value(i);
        kv::WriteStreamString(s, v.isEmpty() ? QByteArray() : v.toText());
    }
}

QByteArray ShortString(TkvStream& s) {
    const uint8_t n = s.ReadByte("a short string length");
    return s.ReadBytes(n, "a short string");
}

QByteArray ValueText(const TkvVariant& v) {
    if (v.isEmpty()) return {};
    try {
        return v.toText();
    } catch (const TkvVariantError&) {
        return {};
    }
}

// The system variable an old dictionary entry of kind 2 names, by number.
const char* const kOldSystemNames[] = {
    "PAGE#",   "",         "DATE",       "TIME",          "LINE#",      "LINETHROUGH#",
    "COLUMN#", "CURRENT#", "TOTALPAGES", "REPORTCOMMENT", "REPORTNAME", "REPORTAUTOR",
    "VMAJOR",  "VMINOR",   "VRELEASE",   "VBUILD",        "REPORTDATE", "REPORTLASTCHANGE"};

void SortList(TkvStringList& list) {
    std::sort(list.begin(), list.end(),
              [](const QByteArray& a, const QByteArray& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
}

// Applies an alias table to a list of names: without entries the list stays; otherwise names
// that are not keys go and names with a non-empty alias are replaced by it.
void ApplyAliases(TkvStringList& names, const TkvVariables& aliases) {
    if (aliases.Count() == 0) return;
    TkvStringList out;
    for (const QByteArray& n : names) {
        const int i = aliases.IndexOf(n);
        if (i < 0) continue;
        const QByteArray alias = ValueText(aliases.Value(i));
        out.append(alias.isEmpty() ? n : alias);
    }
    names = out;
}

QByteArray KeyOfAlias(const TkvVariables& list, const QByteArray& alias) {
    for (int i = 0; i < list.Count(); ++i)
        if (ValueText(list.Value(i)).compare(alias, Qt::CaseInsensitive) == 0) return list.Name(i);
    return alias;
}

} // namespace

void TkvDataDictionary::Clear() {
    Variables.Clear();
    FieldAliases.Clear();
    BandDatasources.Clear();
}

void TkvDataDictionary::LoadFromStream(TkvStream& s) {
    Clear();
    const qint64 start = s.Position();
    const int16_t marker = static_cast<int16_t>(s.ReadWord("the dictionary marker"));
    if (marker == -1 || marker == -2) {
        ReadList(s, Variables);
        ReadList(s, FieldAliases);
        ReadList(s, BandDatasources);
    } else {
        s.Seek(start);
        ReadOldRecord(s);
    }

    // A list written with categories without their leading blank: toggle every name.
    const QByteArray first = Variables.Count() > 0 ? Variables.Name(0) : QByteArray();
    if (!first.isEmpty() && !first.startsWith(' ')) {
        TkvVariables toggled;
        for (int i = 0; i < Variables.Count(); ++i) {
            const QByteArray n = Variables.Name(i);
            toggled.SetVariable(n.isEmpty() ? n : n.startsWith(' ') ? n.mid(1) : ' ' + n, Variables.Value(i));
        }
        Variables = std::move(toggled);
    }

    if (marker == -1) {
        for (int i = FieldAliases.Count() - 1; i >= 0; --i) {
            if (!ValueText(FieldAliases.Value(i)).isEmpty()) continue;
            TkvComponent* dataset = nullptr;
            if (kv::FindDatasetAndField(FieldAliases.Name(i), dataset).isEmpty()) FieldAliases.Delete(i);
        }
        for (int i = BandDatasources.Count() - 1; i >= 0; --i)
            if (ValueText(BandDatasources.Value(i)).isEmpty()) BandDatasources.Delete(i);
    }
}

void TkvDataDictionary::ReadOldRecord(TkvStream& s) {
    // Kind byte, number and three short strings: at least 8 bytes per entry.
    const int32_t n = ReadCount(s, 8, "an old dictionary entry count");
    for (int32_t i = 0; i < n; ++i) {
        const uint8_t kind = s.ReadByte("an old dictionary entry kind");
        const int32_t number = s.ReadInt("an old dictionary entry number");
        const QByteArray a = ShortString(s);
        const QByteArray b = ShortString(s);
        const QByteArray c = ShortString(s);
        QByteArray value;
        if (kind == 2) {
            // Numbers beyond the table name no system variable: the entry keeps an empty value.
            if (number == 1)
                value = b;
            else if (number >= 0 && number < static_cast<int32_t>(std::size(kOldSystemNames)))
                value = kOldSystemNames[number];
        } else if (kind == 1) {
            value = a + ".\"" + b + '"';
        }
        FieldAliases.SetVariable(' ' + c, TkvVariant(value));
    }
    TkvStringList names;
    kv::ReadStreamMemo(s, names);
    for (const QByteArray& line : names) {
        if (!line.isEmpty() && !line.startsWith(' '))
            Variables.SetVariable(line, TkvVariant(QByteArray()));
        else
            Variables.SetVariable(line, FieldAliases.Contains(line) ? FieldAliases.GetVariable(line)
                                                                    : TkvVariant::Null());
    }
    FieldAliases.Clear();
}

void TkvDataDictionary::SaveToStream(TkvStream& s) const {
    s.WriteWord(static_cast<uint16_t>(-2));
    WriteList(s, Variables);
    WriteList(s, FieldAliases);
    WriteList(s, BandDatasources);
}

void TkvDataDictionary::LoadFromFile(const QString& fileName) {
    TkvFileStream file(fileName);
    const uint8_t version = file.ReadByte("the dictionary file version");
    if (version > kv::CurrentStreamVersion || version < kvdict::OldestFileVersion)
        throw TkvDictionaryError("Unsupported dictionary file version " + std::to_string(version));
    // The strings follow the version the file names, not whatever was read last.
    const uint8_t saved = kv::StreamVersion;
    kv::StreamVersion = version;
    try {
        LoadFromStream(file);
    } catch (...) {
        kv::StreamVersion = saved;
        throw;
    }
    kv::StreamVersion = saved;
}

void TkvDataDictionary::SaveToFile(const QString& fileName) const {
    TkvMemoryStream bytes;
    const uint8_t saved = kv::StreamVersion;
    kv::StreamVersion = kv::CurrentStreamVersion;
    bytes.WriteByte(kv::CurrentStreamVersion);
    SaveToStream(bytes);
    kv::StreamVersion = saved;
    TkvAtomicFile file(fileName);
    file.Write(bytes.Data());
    file.Commit();
}

bool TkvDataDictionary::IsDatasetEnabled(const QByteArray& name) const {
    for (const QByteArray& entry : DisabledDatasets) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0) return false;
        if (entry.endsWith('*') && name.startsWith(entry.left(entry.size() - 1))) return false;
    }
    return true;
}

TkvStringList TkvDataDictionary::GetDatasetList() const {
    TkvStringList names;
    const TkvComponent* owner = kv::ReportOwnerComponent();
    for (const auto& c : kv::ListComponentsOfClass("TDataSet", owner))
        if (IsDatasetEnabled(c.Name)) names.append(c.Name);
    ApplyAliases(names, FieldAliases);
    SortList(names);
    return names;
}

TkvStringList TkvDataDictionary::GetFieldList(const QByteArray& datasetName) const {
    TkvStringList fields;
    QByteArray name = datasetName;
    const TkvComponent* owner = kv::ReportOwnerComponent();
    TkvComponent* dataset = nullptr;
    try {
        dataset = kv::FindComponentByName(owner, name);
        if (!dataset) {
            name = DatasetOfAlias(name);
            dataset = kv::FindComponentByName(owner, name);
        }
        if (dataset) fields = dataset->FieldNames();
    } catch (const std::exception&) {
        // Errors of the platform while listing leave the list as it was.
    }
    TkvStringList out;
    for (const QByteArray& f : fields) {
        const QByteArray key = name + '.' + f;
        const int i = FieldAliases.IndexOf(key);
        if (i < 0) {
            out.append(f);
            continue;
        }
        const QByteArray alias = ValueText(FieldAliases.Value(i));
        if (!alias.isEmpty()) out.append(alias);
    }
    return out;
}

TkvStringList TkvDataDictionary::GetBandDatasourceList() const {
    TkvStringList names;
    for (const auto& c : kv::ListComponentsOfClass("TkvDataset", kv::ReportOwnerComponent()))
        names.append(c.Name);
    ApplyAliases(names, BandDatasources);
    SortList(names);
    return names;
}

TkvStringList TkvDataDictionary::GetCategoryList() const {
    TkvStringList out;
    for (int i : Variables.InsertionOrder()) {
        const QByteArray n = Variables.Name(i);
        if (n.startsWith(' ')) out.append(n.mid(1));
    }
    return out;
}

TkvStringList TkvDataDictionary::GetVariableList(const QByteArray& category) const {
    TkvStringList out;
    const std::vector<int> order = Variables.InsertionOrder();
    const QByteArray key = ' ' + category;
    size_t i = 0;
    while (i < order.size() && Variables.Name(order[i]).compare(key, Qt::CaseInsensitive) != 0)
        ++i;
    for (++i; i < order.size(); ++i) {
        const QByteArray n = Variables.Name(order[i]);
        if (n.isEmpty() || n.startsWith(' ')) break;
        out.append(n);
    }
    return out;
}

QByteArray TkvDataDictionary::DatasetOfAlias(const QByteArray& alias) const {
    return KeyOfAlias(FieldAliases, alias);
}

QByteArray TkvDataDictionary::FieldOfAlias(const QByteArray& alias) const {
    const QByteArray key = DatasetOfAlias(alias);
    const qsizetype dot = key.lastIndexOf('.');
    return dot < 0 ? key : key.mid(dot + 1);
}

QByteArray TkvDataDictionary::BandDatasourceOfAlias(const QByteArray& alias) const {
    return KeyOfAlias(BandDatasources, alias);
}

QByteArray TkvDataDictionary::AliasOf(const QByteArray& name) const {
    QByteArray alias = ValueText(FieldAliases.GetVariable(name));
    if (alias.isEmpty()) alias = ValueText(BandDatasources.GetVariable(name));
    return alias.isEmpty() ? name : alias;
}

bool TkvDataDictionary::SplitDottedName(const QByteArray& text, QByteArray& dataset, QByteArray& field) {
    bool inQuotes = false;
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        if (text[i] == '"') inQuotes = !inQuotes;
        if (text[i] != '.' || inQuotes) continue;
        dataset = text.left(i);
        field = text.mid(i + 1, 255);
        if (field.size() > 2 && field.startsWith('"') && field.endsWith('"'))
            field = field.mid(1, field.size() - 2);
        return true;
    }
    return false;
}
