#pragma once
// The workbook export: the objects of the exported pages are collected in the layout matrix and
// written after the last page as one worksheet of an .xlsx workbook (libxlsxwriter): row heights
// and column widths from the grid, one cached cell format per matrix style and border position,
// merged ranges, wrapped texts, pictures as images, the first page's margins and orientation, A1
// selected. Texts are written as text, never as formulas; numbers stay text unless ConvertNumbers
// is set, and then only texts that are plainly numbers.

#include "export/export_filter.h"
#include "export/ie_matrix.h"

#include <memory>

class TkvXlsxExport : public TkvExportFilter {
public:
    // Registers "Excel workbook (*.xlsx)" with the mask "*.xlsx".
    TkvXlsxExport();
    ~TkvXlsxExport() override;
    const char* ClassName() const override { return "TkvXlsxExport"; }

    bool HighQuality = true;   // the styles' fonts, fills and alignment
    bool CellsMerged = true;   // an object over several cells merges them
    bool CellsBorders = true;  // frame sides become borders
    bool CellsWrapWords = true;
    bool PageBreaks = true;     // a sheet page break where each report page ended
    bool ExportPictures = true; // non-text objects as images
    bool ConvertNumbers = false;
    bool OpenExcelAfterExport = false; // the program that owns the filter opens the file afterwards
    double TopMargin = 0, LeftMargin = 0; // kept for the options dialog
    double ScaleX = 1.0, ScaleY = 1.0;

    // The sheet's limits.
    static constexpr int kMaxRows = 1048576;
    static constexpr int kMaxColumns = 16384;

    void BeginDocument() override;
    void EndDocument() override;
    void EndPage() override;
    void ExportObject(int x, int y, TkvView& view) override;

    // Whether the text is plainly a number: an optional minus, digits (in groups of three separated
    // by spaces allowed), an optional decimal part after "," or "."; no leading zero before other
    // digits (so "007" stays text).
    static bool IsPlainNumber(const QString& text, double* value = nullptr);
    // Column names as on the sheet: 1 is A, 27 AA, 52 AZ, 53 BA.
    static QByteArray ColumnName(int n);

private:
    std::unique_ptr<TkvIEMatrix> matrix_;
};
