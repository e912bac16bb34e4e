#pragma once
// The options dialog of the text export and of the line RTF export (which shares its scales, empty
// lines and page breaks and adds pictures and tables). However it closes, the values are taken back
// into the filter; a scale that is not a number becomes 1.0.

#include <QDialog>

class QCheckBox;
class QLineEdit;
class TkvTextExport;
class TkvRTFExport;

class TkvTXTExportForm : public QDialog {
public:
    // For a TkvRTFExport the dialog is the RTF one ("RTF export options").
    TkvTXTExportForm(TkvTextExport& filter, QWidget* parent = nullptr);
    void done(int result) override;

    QCheckBox *CB_KillEmpty = nullptr, *CB_OEM = nullptr, *CB_Frames = nullptr, *CB_Pseudo = nullptr,
              *CB_PageBreaks = nullptr, *CB_Pictures = nullptr, *CB_Table = nullptr;
    QLineEdit *E_ScaleX = nullptr, *E_ScaleY = nullptr;

private:
    TkvTextExport& filter_;
    TkvRTFExport* rtf_ = nullptr;
};
