// Page lists of print requests ("1,3,5-12"). The first two bytes give the report's page count, the
// rest is the text as UTF-8.
// fuzz-sources: base/page_list.cpp
#include "base/page_list.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int pageCount = data[0] | (data[1] << 8);
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data) + 2, qsizetype(size - 2));
    QString error;
    const std::optional<TkvPageList> list = TkvPageList::Parse(text, pageCount, &error);
    if (!list) return 0;
    // The selected pages are the report's own, ascending, each one contained.
    const std::vector<int> pages = list->Pages();
    for (size_t i = 0; i < pages.size(); ++i)
        if (pages[i] < 1 || pages[i] > pageCount || !list->Contains(pages[i]) || (i && pages[i] <= pages[i - 1]))
            __builtin_trap();
    list->SelectsNone();
    return 0;
}
