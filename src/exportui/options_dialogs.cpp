#include "exportui/options_dialogs.h"

#include "core/report/report.h"
#include "export/rtf_adv_export.h"
#include "export/text_export.h"
#include "export/xlsx_export.h"
#include "exportui/table_options_dialog.h"
#include "exportui/text_options_dialog.h"

#include <QPointer>

namespace kvexportui {

void InstallOptionsDialog(TkvExportFilter& filter, QWidget* parent) {
    QPointer<QWidget> owner(parent);
    if (dynamic_cast<TkvTextExport*>(&filter)) {
        filter.OptionsDialog = [owner](TkvExportFilter& f) {
            TkvTXTExportForm dialog(static_cast<TkvTextExport&>(f), owner.data());
            return dialog.exec() == QDialog::Accepted ? kvmr::Ok : kvmr::Cancel;
        };
    } else if (dynamic_cast<TkvRtfAdvExport*>(&filter) || dynamic_cast<TkvXlsxExport*>(&filter)) {
        filter.OptionsDialog = [owner](TkvExportFilter& f) {
            const int pages = f.Report ? f.Report->EMFPages.Count() : 0;
            TkvTableExpSet dialog(f, pages, owner.data());
            return dialog.exec() == QDialog::Accepted ? kvmr::Ok : kvmr::Cancel;
        };
    }
}

} // namespace kvexportui
