#include "exportui/scale_fields.h"

#include "base/codepage.h"
#include "base/page_list.h"
#include "core/locale.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <cmath>

namespace kvexportui {

QString Text(int id) {
    return kv::DecodeText(kv::LoadLibraryText(id), kvcs::Default);
}

double ReadNumber(const QString& text, double fallback) {
    QString t = text.trimmed();
    t.replace(u',', u'.');
    bool ok = false;
    const double v = t.toDouble(&ok);
    return ok && std::isfinite(v) ? v : fallback;
}

QString ShowNumber(double v) {
    return QString::number(v, 'g', 10);
}

QGroupBox* PageRangeGroup(QWidget* parent, QLineEdit** field) {
    auto* box = new QGroupBox(Text(53044), parent);
    auto* layout = new QVBoxLayout(box);
    auto* label = new QLabel(Text(53047), box);
    auto* edit = new QLineEdit(box);
    edit->setObjectName(QStringLiteral("E_Range"));
    label->setBuddy(edit);
    auto* hint = new QLabel(Text(53048), box);
    hint->setWordWrap(true);
    layout->addWidget(label);
    layout->addWidget(edit);
    layout->addWidget(hint);
    *field = edit;
    return box;
}

std::vector<int> ReadPageList(const QString& text, int pageCount) {
    if (text.trimmed().isEmpty()) return {};
    const auto list = TkvPageList::Parse(text, pageCount);
    if (!list || list->AllPages()) return {};
    return list->Pages();
}

QString PageListText(const std::vector<int>& pages) {
    QStringList parts;
    for (size_t i = 0; i < pages.size();) {
        size_t j = i;
        while (j + 1 < pages.size() && pages[j + 1] == pages[j] + 1) ++j;
        parts << (j == i ? QString::number(pages[i]) : QStringLiteral("%1-%2").arg(pages[i]).arg(pages[j]));
        i = j + 1;
    }
    return parts.join(u',');
}

} // namespace kvexportui
