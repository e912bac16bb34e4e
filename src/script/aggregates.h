#pragma once
// The aggregates SUM, AVG, MIN, MAX and COUNT of a build. Every aggregate a footer uses is one entry
// in the store of the data band it runs over; the entry's name is the aggregate key, its value the
// accumulated value. Discovery registers the entries before a page is built, each printed or skipped
// data row accumulates them, printing a footer resets its entries, and a footer's call reads them.
//
// Key: fields each followed by the byte 1: [column prefix,] footer name, kind (one byte, below),
// expression text as written (COUNT: its band name argument), flag text as written ("1" after
// trimming: invisible rows count too). The column prefix exists only for cross-tab cells: "0" in
// the template entry, the column number in an entry of one column.
//
// MIN and MAX start without a value (unassigned) and take the first counted row's value, so MAX
// over negative values is the largest of them; reading an aggregate that counted no row gives 0.
// AVG holds its sum and the number of rows it counted, so that each footer averages its own rows.

#include "base/format_settings.h"
#include "base/variables.h"
#include "base/variant.h"

#include <QByteArray>
#include <functional>

namespace kvagg {

constexpr char Sum = 11, Min = 12, Max = 13, Avg = 14, Count = 15;
constexpr char Separator = 1;

// The kind of an upper-case function name, or 0.
char KindOf(const QByteArray& name);
QByteArray MakeKey(const QByteArray& footer, char kind, const QByteArray& expression, const QByteArray& flag,
                   const QByteArray& column = {});

struct TkvAggregateKey {
    bool HasColumn = false;
    QByteArray Column;
    QByteArray Footer;
    char Kind = 0;
    QByteArray Expression;
    QByteArray Flag;
};
// False when the text is not a key of four or five fields with a known kind.
bool ParseKey(const QByteArray& key, TkvAggregateKey& out);

TkvVariant StartValue(char kind);

// Band types the aggregates distinguish (numbers of the report's band types).
namespace bt {
constexpr int Summary = 1, PageFooter = 3, MasterData = 5, MasterFooter = 6, DetailData = 8, DetailFooter = 9,
              SubdetailData = 11, SubdetailFooter = 12, GroupFooter = 17, CrossData = 19, CrossFooter = 20,
              None = 22;
}

} // namespace kvagg

// What the aggregates need of a band of the build. The engine's run-time bands implement it; the
// store, row count and aggregate source live here so that every band has them.
class TkvAggregateBand {
public:
    virtual ~TkvAggregateBand() = default;
    virtual QByteArray BandName() const = 0;
    virtual int BandType() const = 0;
    // The band holds objects owned by another band (cells of a cross-tab).
    virtual bool HasCrossCells() const { return false; }

    TkvVariables Aggregates;                      // the store of a data band
    int RowCount = 0;                             // rows accumulated since the last reset (for AVG)
    TkvAggregateBand* AggregateSource = nullptr;  // the data band a footer's aggregates run over
};

// The aggregate state of one build: the discovery flag and the bands of the moment (borrowed).
class TkvAggregates {
public:
    // Set while the page builder discovers aggregates: calls register instead of reading.
    bool Discovering = false;
    TkvAggregateBand* CurrentBand = nullptr;  // the band being printed (or visited)
    TkvAggregateBand* ExaminedBand = nullptr; // discovery: the data band examined
    // A cross-tab cell being printed: its column number and the band whose cell it is.
    QByteArray CellColumn;
    QByteArray CellBand;

    // A call of SUM, AVG, MIN, MAX or COUNT with its argument texts: registers it while discovering
    // (the value stays `preset`), reads it otherwise.
    TkvVariant Call(char kind, const QByteArray& p1, const QByteArray& p2, const QByteArray& p3,
                    const TkvFormatSettings& fs, const TkvVariant& preset = TkvVariant("0"));

    // After a data row was printed (or skipped as invisible): accumulates the band's store. For a
    // band with cross-tab cells only the entries of `column` (copied from the template entries when
    // missing). `evaluate` gives the value of an expression text.
    static void Accumulate(TkvAggregateBand& band, bool visible,
                           const std::function<TkvVariant(const QByteArray&)>& evaluate, const TkvFormatSettings& fs,
                           const QByteArray& column = {});
    // Right after a band was printed: its entries in its aggregate source start again and the
    // source's row count becomes 0.
    static void Reset(TkvAggregateBand& printed);

private:
    void Register(char kind, const QByteArray& expression, const QByteArray& bandName, const QByteArray& flag);
    TkvVariant Read(char kind, const QByteArray& expression, const QByteArray& flag, const TkvFormatSettings& fs);
};
