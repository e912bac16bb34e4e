#pragma once
// The line RTF export: each text line of a page (collected as by the text export) becomes one
// paragraph with a tab stop at each text's position, or with ConvertToTable one table row with a
// cell per text. Pictures become absolutely positioned metafile pictures that draw a bitmap. The
// font and colour tables are collected while the pages are written and go in front of the body.

#include "export/rtf_writer.h"
#include "export/text_export.h"

#include <QImage>
#include <vector>

class TkvRTFExport : public TkvTextExport {
public:
    // Registers "Rich Text file (*.rtf)" with the mask "*.rtf".
    TkvRTFExport();
    const char* ClassName() const override { return "TkvRTFExport"; }

    bool ExportBitmaps = false;  // write the pictures of the pages
    bool ConvertToTable = false; // each text line as a table row

    // A position of v page units in twips: round(v / (1.3 / ScaleX) x 20).
    int Twips(double v) const;

    // The page bodies written since BeginDocument; they go to the file after the tables.
    const QByteArray& Body() const { return body_; }

    void BeginDocument() override;
    void EndDocument() override;
    void EndPage() override;
    void ExportObject(int x, int y, TkvView& view) override;

private:
    struct PagePicture {
        int X = 0, Y = 0, Width = 0, Height = 0; // the object, page units
        QImage Image;
    };
    QByteArray PictureRtf(const PagePicture& p) const;

    QByteArray body_;
    kvrtf::FontTable fonts_;
    kvrtf::ColorTable colors_;
    std::vector<PagePicture> pictures_;
    bool pageWritten_ = false;
};
