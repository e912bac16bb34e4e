#pragma once
// The page list of a print request, such as "1,3,5-12": page numbers and ranges separated by
// commas, spaces ignored. A list ending in "-" runs to the last page; in "a-b-c" the last dash
// starts the range again (b to c). Every other text is refused with a message for the user: an
// empty number ("-5", ",,", "1,"), a character that is not a digit, comma, dash or space.
//
// Ranges are clamped to the report's pages while parsing, so a list like "1-2000000000" costs no
// more than the report's page count. A range that runs backwards ("12-5") selects nothing.

#include <QString>
#include <optional>
#include <vector>

class TkvPageList {
public:
    // Every page.
    TkvPageList() = default;

    // Parses `text` for a report of `pageCount` pages. On a malformed list returns nothing and, when
    // `error` is given, sets it to one sentence naming the fault.
    static std::optional<TkvPageList> Parse(const QString& text, int pageCount, QString* error = nullptr);

    // True for the empty text: the list puts no limit on the pages.
    bool AllPages() const { return allPages_; }
    // 1-based page number.
    bool Contains(int pageNo) const;
    // The selected 1-based page numbers in ascending order (every page for AllPages).
    std::vector<int> Pages() const;
    // A list that names no page of the report (e.g. "12-5", or "20" in a 9-page report).
    bool SelectsNone() const;

private:
    bool allPages_ = true;
    int pageCount_ = 0;
    std::vector<bool> selected_; // index pageNo - 1
};
