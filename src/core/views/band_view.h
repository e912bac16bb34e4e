#pragma once
// The design-time band: a labelled strip of a design page that holds the objects printing with it.
// Its band type travels in the common record's FrameTyp (a band has no frame) and its data source
// text (or group condition) in DisplayFormatText; the class tail carries the child band, the column
// block and the master band.

#include "core/library_tables.h"
#include "core/views/view.h"

#include <optional>

class TkvBand;

// What a band view forwards to its run-time band while a report is built (DocumentMode 1). The
// engine's run-time band implements this next to TkvBand; a band view reaches it through its
// OwnerBand, so a band without it simply keeps the changes on the view.
class TkvBandViewLink {
public:
    virtual ~TkvBandViewLink() = default;

    virtual void SetChildBand(TkvBand* child) = 0;
    virtual bool Breaked() const = 0;
    virtual void SetBreaked(bool breaked) = 0;
    // Takes the condition as typed; the engine converts it to its postfix form.
    virtual void SetGroupCondition(const QByteArray& condition) = 0;
    // "LEFT", "TOP", "WIDTH" or "HEIGHT".
    virtual int Coordinate(const QByteArray& upperName) const = 0;
    virtual void SetCoordinate(const QByteArray& upperName, int value) = 0;
    virtual bool BandVisible() const = 0;
    virtual void SetBandVisible(bool visible) = 0;
    // Releases the band's data sources (destroying those the band created) and sets the new one.
    virtual void ReplaceDataSource(const QByteArray& text) = 0;
    virtual bool HasDataSource() const = 0;
    virtual bool DataSourceEof() = 0;
    virtual void DataSourceNext() = 0;
    virtual void DataSourcePrior() = 0;
    virtual void DataSourceFirst() = 0;
};

// Band flag bits (the view's Flags word; the run-time band copies it).
namespace kvbf {
constexpr uint16_t Stretched = 0x0001;
constexpr uint16_t FormNewPage = 0x0002;
constexpr uint16_t PrintIfSubsetEmpty = 0x0004;
constexpr uint16_t Breaked = 0x0008;
constexpr uint16_t OnFirstPage = 0x0010;
constexpr uint16_t OnLastPage = 0x0020;
constexpr uint16_t RepeatHeader = 0x0040;
constexpr uint16_t PrintChildIfInvisible = 0x0080;
} // namespace kvbf

// Band types.
namespace kvbt {
constexpr int Title = 0;
constexpr int Summary = 1;
constexpr int PageHeader = 2;
constexpr int PageFooter = 3;
constexpr int MasterHeader = 4;
constexpr int MasterData = 5;
constexpr int MasterFooter = 6;
constexpr int DetailHeader = 7;
constexpr int DetailData = 8;
constexpr int DetailFooter = 9;
constexpr int SubdetailHeader = 10;
constexpr int SubdetailData = 11;
constexpr int SubdetailFooter = 12;
constexpr int Overlay = 13;
constexpr int ColumnHeader = 14;
constexpr int ColumnFooter = 15;
constexpr int GroupHeader = 16;
constexpr int GroupFooter = 17;
constexpr int CrossHeader = 18;
constexpr int CrossData = 19;
constexpr int CrossFooter = 20;
constexpr int Child = 21;
constexpr int None = 22;
constexpr int Count = 23;
} // namespace kvbt

namespace kv {
// Designer option "BandTitles": band names are drawn on tabs above (or left of) the bands.
extern bool BandTitles;
} // namespace kv

class TkvBandView : public TkvView {
public:
    TkvBandView();
    const char* ClassName() const override { return "TkvBandView"; }

    // The stored FrameTyp; a value read from a file may lie outside 0..22.
    int BandType() const { return FrameTyp; }
    // Keeps the low 7 bits.
    void SetBandType(int type) { FrameTyp = static_cast<uint16_t>(type & 0x7F); }
    const QByteArray& DataSource() const { return DisplayFormatText; }
    void SetDataSource(const QByteArray& text) { DisplayFormatText = text; }
    bool IsVertical() const { return BandType() >= kvbt::CrossHeader && BandType() <= kvbt::CrossFooter; }

    // Besides the names of the band settings, "BANDTYPE" reads and sets the band type (band
    // alignment of other views asks for it by that name).
    static const TkvPropertyTable& ClassProperties();
    const TkvPropertyTable& Properties() const override { return ClassProperties(); }
    void CallMethod(const QByteArray& name, const TkvVariant& a1, const TkvVariant& a2, const TkvVariant& a3,
                    TkvVariant& result) override;
    void RegisterProperties() override;

    void Draw(TkvCanvas& canvas) override;
    void GetClipRegion(bool widen, QRegion& result) override;
    void LoadFromStream(TkvStream& stream) override;
    void SaveToStream(TkvStream& stream) override;

    // Width of the title tab: the band type name in Arial 8 plus 8, at least 100, measured on the
    // library's measuring canvas (so the drawn tab and the hit region agree).
    int LabelWidth() const;

    // Which settings the inspector lists and the context menu offers for a band type.
    static uint16_t OfferedFlags(int bandType);
    static bool OffersChildBand(int bandType) { return bandType != kvbt::PageFooter; }

    // --- fields of its own, in declared order
    QByteArray ChildBand;
    QByteArray Master;
    int32_t Columns = 1;
    int32_t ColumnWidth = 200;
    int32_t ColumnGap = 20;
    int32_t NewColumnAfter = 1;

private:
    TkvBandViewLink* Link() const;
    bool Building() const;
    // The running band while the report is built, else null.
    TkvBandViewLink* RunningLink() const;
    void DrawTitle(TkvCanvas& canvas, int labelWidth);
};
