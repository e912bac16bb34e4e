#include "base/page_list.h"

#include <algorithm>
#include <limits>

namespace {

// Page numbers above this are all "beyond the last page"; saturating keeps huge numbers harmless.
constexpr long long SaturatedNumber = std::numeric_limits<int>::max();

struct Scanner {
    QString text;
    qsizetype pos = 0;

    bool AtEnd() const { return pos >= text.size(); }
    QChar Peek() const { return text[pos]; }

    // Reads a decimal number; nothing when no digit stands at the position.
    std::optional<long long> Number() {
        const qsizetype start = pos;
        long long n = 0;
        while (!AtEnd() && Peek().isDigit() && Peek().unicode() < 128) {
            n = std::min(SaturatedNumber, n * 10 + (Peek().unicode() - '0'));
            ++pos;
        }
        if (pos == start) return std::nullopt;
        return n;
    }
};

QString Fault(const Scanner& s) {
    if (s.AtEnd())
        return QStringLiteral("The page list \"%1\" ends where a page number is expected.").arg(s.text);
    const QChar c = s.Peek();
    if (c == u',' || c == u'-')
        return QStringLiteral("The page list \"%1\" lacks a page number before \"%2\" (position %3).")
            .arg(s.text)
            .arg(c)
            .arg(s.pos + 1);
    return QStringLiteral(
               "The page list \"%1\" holds \"%2\" (position %3); use page numbers, \",\" and \"-\".")
        .arg(s.text)
        .arg(c)
        .arg(s.pos + 1);
}

} // namespace

std::optional<TkvPageList> TkvPageList::Parse(const QString& text, int pageCount, QString* error) {
    TkvPageList list;
    list.pageCount_ = std::max(0, pageCount);
    Scanner s;
    for (QChar c : text)
        if (!c.isSpace()) s.text.append(c);
    if (s.text.isEmpty()) return list;

    list.allPages_ = false;
    list.selected_.assign(static_cast<size_t>(list.pageCount_), false);
    const auto select = [&list](long long from, long long to) {
        from = std::max(1LL, from);
        to = std::min<long long>(list.pageCount_, to);
        for (long long n = from; n <= to; ++n)
            list.selected_[static_cast<size_t>(n - 1)] = true;
    };
    const auto fail = [&](const Scanner& at) -> std::optional<TkvPageList> {
        if (error) *error = Fault(at);
        return std::nullopt;
    };

    for (;;) {
        // item := number ("-" number)* ["-" at the very end]
        std::optional<long long> first = s.Number();
        if (!first) return fail(s);
        long long rangeStart = *first, last = *first;
        bool range = false;
        while (!s.AtEnd() && s.Peek() == u'-') {
            ++s.pos;
            if (range) rangeStart = last; // "1-3-5": the last dash starts the range again
            range = true;
            if (s.AtEnd()) {
                last = SaturatedNumber; // "5-": to the last page
                break;
            }
            std::optional<long long> next = s.Number();
            if (!next) return fail(s);
            last = *next;
        }
        if (range)
            select(rangeStart, last);
        else
            select(last, last);
        if (s.AtEnd()) break;
        if (s.Peek() != u',') return fail(s);
        ++s.pos;
    }
    return list;
}

bool TkvPageList::Contains(int pageNo) const {
    if (allPages_) return true;
    return pageNo >= 1 && pageNo <= pageCount_ && selected_[static_cast<size_t>(pageNo - 1)];
}

std::vector<int> TkvPageList::Pages() const {
    std::vector<int> pages;
    for (int n = 1; n <= pageCount_; ++n)
        if (Contains(n)) pages.push_back(n);
    return pages;
}

bool TkvPageList::SelectsNone() const {
    if (allPages_) return pageCount_ == 0;
    return std::none_of(selected_.begin(), selected_.end(), [](bool b) { return b; });
}
