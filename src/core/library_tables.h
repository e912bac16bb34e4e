#pragma once
// Library-wide tables and objects set up at start-up (core/startup.h): texts taken from the
// library texts, the band-area brush, the measuring scratch image, the library-wide variables and
// the constants list. Each accessor also works before start-up (it fills its table on first use),
// so tests and tools need not start the whole library.

#include "base/stream_text.h"

#include <QByteArray>
#include <QImage>

class TkvVariables;

namespace kv {

constexpr int kBandTypeCount = 23; // band types 0 (title) to 22 (none)

// The name of a band type (texts 55077 to 55099); empty outside 0..22.
QByteArray BandTypeName(int bandType);
// Display format patterns by index 0..3 (texts 55170-55173, 55175-55178, 55179-55182); empty
// outside 0..3.
QByteArray BooleanFormat(int index);
QByteArray DateFormat(int index);
QByteArray TimeFormat(int index);
// The default font character set (text 55337, "1"; 1 when the text is not a number).
int DefaultFontCharset();

// The 8 x 8 checkerboard of clWhite and clSilver (white where x + y is even) that fills band areas
// in the designer.
const QImage& BandBrushBitmap();
// A blank 8 x 8 image used as a scratch surface for measuring text.
QImage& ScratchBitmap();
// A scratch list of lines for routines that need a temporary one.
TkvStringList& ScratchStrings();

// The library-wide variables (sorted by name) and the constants list (sorted by name, filled with
// the named constants).
TkvVariables& LibraryVariables();
const TkvVariables& ConstantsList();

// Start-up and shutdown (core/startup.cpp) fill and release these.
void FillLibraryTables();
void CreateLibraryBitmaps();
void CreateNamedValueLists();
void ReleaseLibraryTables();
void ReleaseLibraryBitmaps();
void ReleaseNamedValueLists();

} // namespace kv
