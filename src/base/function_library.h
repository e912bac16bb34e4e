#pragma once
// The base of function libraries: each computes the report functions the expression parser does
// not compute itself. The engine's library framework adds the function list and the call
// operations; the registry of the core only creates, orders and destroys libraries.

class TkvFunctionLibrary {
public:
    virtual ~TkvFunctionLibrary() = default;
    // The name libraries are registered and compared by.
    virtual const char* ClassName() const = 0;
};
