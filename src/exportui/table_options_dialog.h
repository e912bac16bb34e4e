#pragma once
// The options dialog of the table exports, "Export to RTF" (table RTF) and "Export to Excel" (the
// workbook): page properties (margins, scales in percent), the page range and the quality settings;
// the workbook adds merging, borders, wrapping, styles, numbers and opening the file afterwards, and
// "Better"/"Faster". However it closes, the values are taken back into the filter; OK is refused
// while the page range is not a valid list.

#include <QDialog>

class QCheckBox;
class QLineEdit;
class TkvExportFilter;
class TkvRtfAdvExport;
class TkvXlsxExport;

class TkvTableExpSet : public QDialog {
public:
    // pageCount: the report's pages, for checking the page range.
    TkvTableExpSet(TkvExportFilter& filter, int pageCount, QWidget* parent = nullptr);
    void done(int result) override;

    void Better();
    void Faster();

    QLineEdit *E_TMargin = nullptr, *E_LMargin = nullptr, *E_ScaleX = nullptr, *E_ScaleY = nullptr,
              *E_Range = nullptr;
    QCheckBox *CB_PageBreaks = nullptr, *CB_Pictures = nullptr, *CB_Merged = nullptr, *CB_Borders = nullptr,
              *CB_WrapWords = nullptr, *CB_HQ = nullptr, *CB_Numbers = nullptr, *CB_OpenExcel = nullptr;

private:
    TkvExportFilter& filter_;
    TkvRtfAdvExport* rtf_ = nullptr;
    TkvXlsxExport* book_ = nullptr;
    int pageCount_ = 0;
};
