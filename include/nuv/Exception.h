// The general exception class and the errors of the Variant and automation layers.
//
// Code that "catches any failure of the general class" catches Exception and so every class
// derived from it; anything else (std::bad_alloc, logic errors) passes through. Exception
// derives from std::runtime_error so that a host program sees it as a std::exception.
#pragma once

#include <stdexcept>
#include <string>

namespace nuv {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// A Variant conversion or array operation that cannot be done.
class EVariantError : public Exception {
public:
    using Exception::Exception;
};

// A failed automation call: unknown class or member, or a failure inside the called object.
class EOleError : public Exception {
public:
    explicit EOleError(const std::string& message, int code = static_cast<int>(0x80004005))
        : Exception(message), code_(code) {}
    // The HRESULT-style code of the failure.
    int ErrorCode() const { return code_; }

private:
    int code_;
};

} // namespace nuv
