#pragma once
// The root of the library's errors. Every failure the library raises carries one sentence that a
// command shows as it is (what()); the derived types say which layer failed and add what their
// callers need (an offset, a page). Commands catch TkvError for any library failure.

#include <exception>
#include <string>

class TkvError : public std::exception {
public:
    explicit TkvError(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};
