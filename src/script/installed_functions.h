#pragma once
// The descriptions of report functions that the designer's function list and expression builder
// show: one entry per function, with the library that registered it, a category and a text whose
// part before "/" is the syntax. While installed, the list receives every description the function
// libraries register and drops a library's entries when it is unregistered.

#include "base/stream_text.h"

#include <QByteArray>
#include <vector>

class TkvFunctionLibrary;

class TkvFunctionDesc {
public:
    TkvFunctionLibrary* Library = nullptr; // borrowed; cleared entries go with their library
    QByteArray LibraryClass;
    QByteArray Name;
    QByteArray Category;
    QByteArray Description;
};

class TkvInstalledFunctions {
public:
    TkvInstalledFunctions() = default;
    ~TkvInstalledFunctions();
    TkvInstalledFunctions(const TkvInstalledFunctions&) = delete;
    TkvInstalledFunctions& operator=(const TkvInstalledFunctions&) = delete;

    // Makes this list the receiver of the registry's descriptions until it is destroyed or another
    // list is installed.
    void Install();

    // Ignored when the category is empty or an entry of exactly that name (case-sensitive) exists.
    void Add(TkvFunctionLibrary* library, const QByteArray& name, const QByteArray& category,
             const QByteArray& description);
    // The distinct categories, sorted.
    TkvStringList Categories() const;
    // Names of the entries of the category (ignoring case), sorted; the category "All functions"
    // (library text 55348) lists every entry.
    void FunctionsOfCategory(const QByteArray& category, TkvStringList& out) const;
    // The description of the first entry of that name (ignoring case), or the empty text.
    QByteArray Description(const QByteArray& name) const;
    // Removes the entries of every library of the same class name.
    void RemoveLibrary(const TkvFunctionLibrary& library);

    int Count() const { return int(entries_.size()); }
    const TkvFunctionDesc& At(int i) const { return entries_[size_t(i)]; }

private:
    std::vector<TkvFunctionDesc> entries_;
    bool installed_ = false;
};
