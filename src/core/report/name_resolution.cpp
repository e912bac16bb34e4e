#include "core/report/name_resolution.h"

#include "core/globals.h"
#include "core/report/report.h"
#include "base/variant.h"
#include "core/views/view_factory.h"

#include <cctype>

namespace kv {

TkvComponent* ReportOwnerComponent() {
    TkvComponentDirectory* dir = ComponentDirectory();
    if (!dir || !CurReport()) return nullptr;
    TkvComponent* self = dir->ReportComponent(CurReport());
    return self ? self->ComponentOwner() : nullptr;
}

TkvComponent* FindComponentByName(const TkvComponent* owner, const QByteArray& name) {
    if (name.isEmpty()) return nullptr;
    try {
        const QList<QByteArray> parts = name.split('.');
        if (parts.size() == 1) return owner ? owner->FindComponent(name) : nullptr;
        TkvComponentDirectory* dir = ComponentDirectory();
        TkvComponent* c = dir ? dir->FindGlobalComponent(parts[0]) : nullptr;
        for (qsizetype i = 1; c && i < parts.size(); ++i)
            c = c->FindComponent(parts[i]);
        return c;
    } catch (const std::exception&) {
        throw TkvClassNotFound("Missing " + name.toStdString());
    }
}

QByteArray FindDatasetAndField(const QByteArray& text, TkvComponent*& dataset) {
    // Everything from the first double quote on is one last piece: a quoted field name may hold dots.
    const qsizetype quote = text.indexOf('"');
    QList<QByteArray> pieces = text.left(quote < 0 ? text.size() : quote).split('.');
    if (quote >= 0) pieces.last() += text.mid(quote);

    QByteArray field = pieces.last();
    if (pieces.size() == 2) {
        dataset = FindComponentByName(ReportOwnerComponent(), pieces[0]);
    } else if (pieces.size() > 2) {
        // Form.Dataset or Form.Module.Dataset: the search starts from a global component.
        pieces.removeLast();
        dataset = FindComponentByName(nullptr, pieces.join('.'));
    }
    if (dataset && !dataset->IsDataset()) dataset = nullptr;
    if (field.size() > 2 && field.startsWith('"') && field.endsWith('"'))
        field = field.mid(1, field.size() - 2);
    if (!dataset || !dataset->HasField(field)) return {};
    return field;
}

TkvBandDataSource FindBandDataSource(const QByteArray& text) {
    TkvBandDataSource result;
    if (text.isEmpty()) return result;
    if (text[0] >= '1' && text[0] <= '9') {
        bool ok = false;
        const int count = text.toInt(&ok);
        if (!ok) throw TkvVariantError("'" + text.toStdString() + "' is not a valid integer value");
        if (!Library().CountDatasetFactory) return result;
        result.Owned = Library().CountDatasetFactory(count);
        result.Dataset = result.Owned.get();
    } else {
        TkvComponent* c = FindComponentByName(ReportOwnerComponent(), text);
        if (c && c->IsDataset()) result.Dataset = c;
    }
    if (result.Dataset) result.Dataset->InitDataset();
    return result;
}

namespace {

bool AllDigits(const QByteArray& s) {
    if (s.isEmpty()) return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

TkvObjectProperty WithProperties(TkvObject* object, QByteArray prop) {
    if (object) object->EnsureProperties();
    return {object, std::move(prop)};
}

} // namespace

TkvObjectProperty ResolveObjectProperty(const QByteArray& text) {
    const qsizetype dot = text.indexOf('.');
    if (dot < 0) return WithProperties(CurView(), text);
    const QByteArray part = text.left(dot);
    const QByteArray prop = text.mid(dot + 1);

    // "PAGEn": page n of the report, counted from 1. A name such as "Page1Memo" is not a page
    // number and is looked up as a view instead.
    const QByteArray digits = part.mid(4);
    if (part.size() > 4 && part.toUpper().startsWith("PAGE") && AllDigits(digits)) {
        bool ok = false;
        const int n = digits.toInt(&ok);
        TkvObject* page =
            ok && CurReport() && n >= 1 && n <= CurReport()->PageCount() ? CurReport()->Page(n - 1) : nullptr;
        return WithProperties(page, prop);
    }

    if (TkvView* view = CurReport() ? CurReport()->FindViewByName(part) : nullptr)
        return WithProperties(view, prop);
    if (CurView()) {
        CurView()->EnsureProperties();
        if (CurView()->FindProperty(part)) return WithProperties(CurView(), text);
    }
    return {nullptr, prop};
}

std::vector<TkvNamedComponent> ListComponentsOfClass(const QByteArray& className, const TkvComponent* owner) {
    std::vector<TkvNamedComponent> out;
    TkvComponentDirectory* dir = ComponentDirectory();
    if (!dir) return out;
    const TkvComponent* report = CurReport() ? dir->ReportComponent(CurReport()) : nullptr;

    auto consider = [&](TkvComponent* c, const QByteArray& qualified) {
        if (!c || c == report || !c->InheritsFrom(className)) return;
        out.push_back({c->ComponentOwner() == owner ? c->ComponentName() : qualified, c});
    };

    for (TkvComponent* container : dir->GlobalComponents()) {
        if (!container) continue;
        const QByteArray prefix = container->ComponentName() + '.';
        for (int i = 0; i < container->ComponentCount(); ++i) {
            TkvComponent* c = container->ComponentAt(i);
            if (!c) continue;
            consider(c, prefix + c->ComponentName());
            if (!c->IsFrame()) continue;
            const QByteArray framePrefix = prefix + c->ComponentName() + '.';
            for (int j = 0; j < c->ComponentCount(); ++j) {
                TkvComponent* f = c->ComponentAt(j);
                if (f) consider(f, framePrefix + f->ComponentName());
            }
        }
    }
    return out;
}

} // namespace kv
