#pragma once
// The command interface between the main window and a document window. The main window knows
// document windows only through it.

#include <QString>
#include <cstdint>

// Capability bits of a document window.
namespace kvcap {
constexpr uint8_t Load = 0x01;
constexpr uint8_t Save = 0x02;
constexpr uint8_t Find = 0x04;
constexpr uint8_t Print = 0x08;
constexpr uint8_t Edit = 0x10;
constexpr uint8_t Close = 0x20;
} // namespace kvcap

class IViewerDocument {
public:
    virtual ~IViewerDocument() = default;
    virtual uint8_t Capabilities() const = 0;
    virtual void Prepare() = 0;
    // Runs the open dialog; false when the user cancels.
    virtual bool OpenWithDialog() = 0;
    // Loads the named file; false when the load failed (the window still shows what was read).
    virtual bool OpenFile(const QString& fileName) = 0;
    virtual bool SaveAs() = 0;
    virtual void Find() = 0;
    virtual void Print() = 0;
    virtual void Edit() = 0;
    // Releases the window once pending events are handled.
    virtual void Close() = 0;
};
