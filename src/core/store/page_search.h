#pragma once
// Text search over prepared pages: a page is drawn into a recording canvas and the texts it drew are
// searched as drawn (already decoded from their character sets). The preview's find command and
// `kvtool find` use it; each page is unpacked for the search and released again, so searching a long
// report keeps one page in memory at a time.

#include <QRect>
#include <QString>
#include <vector>

class TkvEMFPages;
struct PreparedPageInfo;

// One occurrence of the search text on a page.
struct TkvPageMatch {
    QRect Bounds; // the matched characters, in page units of the page (0,0 is the paper's corner)
    QString Text; // the characters matched, as drawn
};

namespace kv {

// Where a page's views are drawn inside the rectangle `page` the page occupies at `zoom`: the whole
// rectangle, or for a page that is stretched to its printable area (UseMargins off), the printable
// area inside the margins. Painting and searching use the same rectangle, so that what the search
// finds lies where the page shows it.
QRect PageDrawArea(const PreparedPageInfo& info, const QRect& page, double zoom);

// Every occurrence of `needle` on the page `index`, in drawing order (within one text, left to
// right). An empty needle matches nothing. The page is unpacked for the search and released
// afterwards, whatever it was before; its PageVisible flag is left as it was. Raises what unpacking
// the page raises (TkvPreparedFileError for a damaged page).
std::vector<TkvPageMatch> FindOnPage(TkvEMFPages& pages, int index, const QString& needle,
                                     Qt::CaseSensitivity cs);

} // namespace kv
