#pragma once
// kvtool's drawing commands: one page as an image (or a one-page PDF), and a whole prepared report
// as a PDF file. Output files appear only complete: they are written beside the target under a
// temporary name and renamed over it at the end.

#include "cli/prepared_info.h"

#include <QRect>
#include <QString>

struct PreparedPageInfo;

namespace kvcli {

// `kvtool render FILE --page N [--zoom Z] -o OUT.png|OUT.pdf`. A PNG is the page as the preview
// shows it at the zoom (page units x zoom pixels, white paper); a PDF holds that one page at its
// paper size scaled by the zoom. Pages count from 1.
CommandResult Render(const QString& in, int page, double zoom, const QString& out);

// `kvtool convert IN.kvp OUT.pdf`: every page, each PDF page the paper size of its prepared page,
// drawn with the printer's rules (vector graphics, embedded fonts).
CommandResult ConvertToPdf(const QString& in, const QString& out);

// Parses the arguments after "render"; usage errors give exit code 2.
CommandResult RenderFromArguments(const QStringList& args);

// Where a page's objects are drawn when the page occupies `pageRect` on a device: the whole page
// for a page that uses margins, else the printable area inside the margins, scaled like the page.
QRect PageContentRect(const PreparedPageInfo& info, const QRect& pageRect);

// The paper of a prepared page in millimetres, oriented as the page is drawn; falls back to the
// page geometry when the stored paper is unusable.
QSizeF PagePaperMillimetres(const PreparedPageInfo& info);

} // namespace kvcli
