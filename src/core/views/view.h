#pragma once
// The base of every printable thing on a page: geometry, frame, fill, gaps, band alignment,
// restrictions, memo, script, tag and visibility, with the common record of report streams and
// the drawing of frames and fills at a given zoom.

#include "core/object.h"
#include "core/rect.h"
#include "base/stream.h"

#include <QRect>
#include <QRegion>
#include <cstdint>

class TkvCanvas;
class TkvPage;
class TkvBand;
class TkvDataField;
class TkvDataFieldSource;
class TkvExportTarget;

// View type bytes.
namespace kvvt {
constexpr uint8_t Text = 0;
constexpr uint8_t Picture = 1;
constexpr uint8_t Band = 2;
constexpr uint8_t SubReport = 3;
constexpr uint8_t Line = 4;
constexpr uint8_t AddIn = 10;
} // namespace kvvt

class TkvView : public TkvObject {
public:
    TkvView();
    ~TkvView() override;
    const char* ClassName() const override { return "TkvView"; }

    // The properties every view has; classes add theirs in front (ClassProperties of each class).
    static const TkvPropertyTable& ClassProperties();
    const TkvPropertyTable& Properties() const override { return ClassProperties(); }
    void CallMethod(const QByteArray& name, const TkvVariant& a1, const TkvVariant& a2, const TkvVariant& a3,
                    TkvVariant& result) override;
    void RegisterProperties() override;

    virtual void DrawBackground();
    virtual void DrawFrame();
    // Takes the object's content from a database field of the current record (the field is borrowed
    // for the call). The default takes nothing.
    virtual void LoadFromField(TkvDataField* field) {}
    virtual void ViewPrinted(TkvView* printed) {}
    virtual void AfterLoad() {}
    void ScaleForDrawing();
    void RestoreAfterDrawing();
    virtual void Draw(TkvCanvas& canvas) = 0;
    virtual void PrintToStream(TkvStream& stream);
    // Hands the object to the export in progress (ExportObject with its left and top).
    virtual void ExportContents(TkvExportTarget& target);
    virtual void LoadFromStream(TkvStream& stream);
    virtual void SaveToStream(TkvStream& stream);
    virtual void AfterResize() {}
    virtual void GetClipRegion(bool widen, QRegion& result);
    virtual void ShowEditor() {}

    // Non-virtual operations.
    void AttachCanvas(TkvCanvas* canvas);
    // The report's before-print step, run by PrintToStream and CalcHeight after ResultText was set to
    // Memo: a view bound to a field (BoundDataSet has a field named BoundFieldName) takes its content
    // from it (LoadFromField), then the report's OnBeforePrint sees the text.
    void BeforePrintStep();
    // Runs ScriptLines (compiled) through the current report's evaluator; nothing when the script is
    // empty or there is no evaluator. Script failures propagate.
    void RunScript();
    void SetBounds(int left, int top, int width, int height);
    void CreateUniqueName();
    // Replaces every [expression] of Tag by its value as text, with this view's display format and
    // hide zeros flag, through the current report's evaluator; without one the tag stays as it is.
    // Expression errors propagate.
    void ExpandTagBrackets();
    // The same replacement on any text of this view (memo lines).
    QByteArray ExpandExpressions(const QByteArray& text);
    TkvView* FindBandViewAt();
    void DrawFrameLine(int x1, int y1, int x2, int y2);
    // While drawing: the scaled right and bottom edge of the unscaled box, rounded once from the
    // unscaled edges so that they do not drift from Left + Width.
    QPoint ScaledBottomRight() const;
    static void AssignView(TkvView& dest, TkvView& source);

    // Frame width coding of the view record: whole widths up to 10 as units, others in thousandths.
    static int32_t EncodeFrameWidth(float width);
    static float DecodeFrameWidth(int32_t stored);

    // Whether this is a dialog control (their names must also be free on the hidden dialog form).
    virtual bool IsDialogControl() const { return false; }

    // --- fields, in declared order
    uint8_t DeferredPrint = 0;
    int32_t SavedLeft = 0, SavedTop = 0, SavedWidth = 0, SavedHeight = 0;
    int32_t SavedGapX = 0, SavedGapY = 0;
    float SavedFrameWidth = 0;
    QByteArray NamePrefix = "View";
    // The canvas of the drawing call in progress, null outside one (see TkvCanvasScope).
    TkvCanvas* Canvas = nullptr;
    TkvRect InnerRect; // the area inside the frame lines, computed by ScaleForDrawing
    TkvStringList ResultText;
    TkvDataFieldSource* BoundDataSet = nullptr; // borrowed; set and cleared by the page builder
    QByteArray BoundFieldName;
    uint8_t Prepared = 0;
    QByteArray Name;
    uint8_t ObjectType = kvvt::AddIn;
    uint8_t RecordVersion = 0; // as read; always written as 2
    uint8_t ClassRecordVersion = 0;
    uint32_t ID = 0;
    uint8_t Selected = 0;
    TkvRect SplitRect;
    double ZoomX = 1.0, ZoomY = 1.0;
    int32_t OriginX = 0, OriginY = 0;
    uint8_t ToPrinter = 0;
    int32_t Left = 0, Top = 0, Width = 0, Height = 0;
    uint16_t Flags = 1;
    uint16_t FrameTyp = 0;
    float FrameWidth = 1.0f;
    uint32_t FrameColor = 0;
    uint16_t FrameStyle = 0;
    uint32_t FillColor = 0x1FFFFFFF;
    uint32_t DisplayFormat = 0;
    QByteArray DisplayFormatText;
    uint16_t Visible = 0xFFFF;
    int32_t GapX = 2, GapY = 1;
    uint16_t Restrictions = 0;
    QByteArray Tag;
    TkvStringList Memo;
    TkvStringList ScriptLines;
    uint8_t BandAlign = 0;
    TkvBand* OwnerBand = nullptr;
    TkvPage* OwnerPage = nullptr;

protected:
    // Band alignment, done by AttachCanvas.
    void ApplyBandAlign();
    // Brush/pen helpers over Canvas.
    void SetPenForFrame();
};

// Flag bits common to all views.
namespace kvflag {
constexpr uint16_t Stretched = 0x0001;
constexpr uint16_t Notify = 0x8000;
} // namespace kvflag

// A view's hold on the canvas of one drawing or measuring call: Canvas points to it while the scope
// lives and is set back when it ends, also through an exception, so no view keeps a canvas that may
// be gone (the engine calls PrintToStream outside drawing). Every Draw and CalcHeight opens one.
class TkvCanvasScope {
public:
    TkvCanvasScope(TkvView& view, TkvCanvas& canvas) : view_(view), kept_(view.Canvas) { view.Canvas = &canvas; }
    ~TkvCanvasScope() { view_.Canvas = kept_; }
    TkvCanvasScope(const TkvCanvasScope&) = delete;
    TkvCanvasScope& operator=(const TkvCanvasScope&) = delete;

private:
    TkvView& view_;
    TkvCanvas* kept_;
};
