#pragma once
// The report object for formatted text, kept in Rich Text Format. The core keeps the RTF bytes
// exactly as stored; laying them out and drawing them belong to a rich text engine that the
// renderer installs (RichTextRenderer). The class is an add-in view ("TkvRichView", type 10).

#include "core/views/stretcheable.h"

#include <functional>

class TkvRichView : public TkvStretcheable {
public:
    TkvRichView();
    const char* ClassName() const override { return "TkvRichView"; }

    void SetProperty(const QByteArray& name, const TkvVariant& value) override;
    void GetProperty(const QByteArray& name, TkvVariant& result) override;
    void RegisterProperties() override;

    void Draw(TkvCanvas& canvas) override;
    // Writes the prepared entry with the text PrintTextPreparer made (RichText unchanged without
    // one). Unlike other views, no print-time band alignment is applied.
    void PrintToStream(TkvStream& stream) override;
    void LoadFromStream(TkvStream& stream) override;
    void SaveToStream(TkvStream& stream) override;
    void ShowEditor() override;

    // Measuring needs the rich text engine (HeightCalculator); without one the text counts as
    // empty: 2 x GapY + 8, or 0 for a hidden object.
    int CalcHeight() override;
    int MinHeight() override { return 8; }
    // Without the rich text engine nothing is left over after a split.
    int RemainingHeight() override;
    bool HasText() const { return !RichText.isEmpty(); }

    // --- fields of its own, in declared order
    int32_t PrintedChars = 0;
    int32_t NextChar = 0;
    int32_t FromChar = 0;
    // While set, SaveToStream writes ScratchRichText instead of RichText (set only while printing).
    uint8_t SavingFromScratch = 0;
    // The object's formatted text: RTF bytes as read, written back unchanged.
    QByteArray RichText;

    // The library-wide scratch text that build-time operations expand and cut.
    static QByteArray ScratchRichText;
    // Draws RichText from FromChar into the rectangle (device pixels); installed by the rich text
    // engine. Without one the object draws its background and frame only.
    static std::function<void(TkvRichView&, TkvCanvas&, const TkvRect&)> RichTextRenderer;
    // Expands [expressions] of a copy of RichText (unless TextOnly) and, for a part print
    // (PrintPhase 2), cuts it to what fits; returns the RTF to write. Installed by the engine.
    static std::function<QByteArray(TkvRichView&)> PrintTextPreparer;
    // The rich text engine's height search (CalcHeight) and split measure (RemainingHeight).
    static std::function<int(TkvRichView&)> HeightCalculator, RemainingHeightCalculator;
    // Designer hooks: the rich text editor window and the field chooser; empty without a designer.
    static std::function<bool(TkvRichView&)> RichTextEditor;
    static TkvEditorProc FieldChooser;
};

namespace kvflag {
// Rich text: [expressions] are not replaced.
constexpr uint16_t TextOnly = 0x0010;
} // namespace kvflag
