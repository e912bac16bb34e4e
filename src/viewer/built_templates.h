#pragma once
// Templates named on kvviewer's command line (`kvviewer TEMPLATE.kvf [--db ...] [--data ...]
// [--var ...]`), handed over by a later start or chosen from the recent files are built, as
// `kvtool build` builds them, straight into the report of the document window that shows them:
// no prepared file is written anywhere.

#include "app/template_build.h"
#include "viewer/template_request.h"

class TkvReport;

namespace kv {

// Whether the file is a template (.kvf) rather than a prepared report.
bool IsTemplateFile(const QString& fileName);

// Builds the request's template with its options into `report`'s prepared pages (the report's own
// settings stay). Returns the page count, or 0 with `error` set to one line; `cancelled` is set
// when the user stopped the build (Cancel in the progress window or a dialog page), which is no
// error to report. `host` and `dialogs` are the progress window and the dialog pages (may be null).
int BuildTemplateInto(TkvReport& report, const TkvTemplateRequest& request, TkvBuildHost* host,
                      TkvDialogHost* dialogs, QByteArray& error, bool& cancelled);

} // namespace kv
