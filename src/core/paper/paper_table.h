#pragma once
// The built-in paper table: the papers the virtual printer offers, with their platform paper ids
// and portrait sizes. The names are library texts, loaded by TkvPrinter::LoadPaperNames.

#include <QByteArray>
#include <array>
#include <cstdint>

struct TPaperInfo {
    int32_t PaperId;
    QByteArray PaperName;
    int32_t PaperWidthMM10;  // portrait width, tenths of a millimetre
    int32_t PaperHeightMM10; // portrait height, tenths of a millimetre
};

namespace kv {

constexpr int PaperTableCount = 67;
constexpr int32_t CustomPaperId = 256;
// Entry i of the table is named by library text PaperNameTextBase + i.
constexpr int PaperNameTextBase = 55008;

} // namespace kv

// Ids 48 and 49 do not occur; the last entry is the custom size (id 256, no size of its own).
extern std::array<TPaperInfo, kv::PaperTableCount> PaperTable;

namespace kv {

// The table entry with that id, or null.
const TPaperInfo* FindPaper(int32_t id);
// The paper used when nothing gives one (an unknown or absent paper id, a custom paper without a
// size): Letter where the default locale measures in US units, A4 everywhere else. Never null.
const TPaperInfo& DefaultPaper();

} // namespace kv
