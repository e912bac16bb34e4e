#pragma once
// The program's own English text table: every user-visible library text by id (53000 to 58104).
// Callers go through LoadLibraryText (core/locale.h), which lets a localisation hook answer first.

#include <span>

namespace kv {

struct TkvLibraryText {
    int Id;
    const char* Text;
};

// The built-in text of an id, or null when the table has none.
const char* BuiltInLibraryText(int id);

// The whole table, sorted by id (for tests and tools that list the texts).
std::span<const TkvLibraryText> BuiltInLibraryTexts();

} // namespace kv
