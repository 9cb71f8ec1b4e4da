// The program's failure type. Every failure carries a message and the class name that the bug
// report shows; the list and file failures are subclasses with names of their own.
#pragma once

#include <exception>
#include <string>
#include <utility>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const noexcept { return message_; }
    virtual const char* ClassName() const noexcept { return "Exception"; }

private:
    std::string message_;
};

#define VANTORA_EXCEPTION_SUBCLASS(Name)                                  \
    class Name : public Exception {                                       \
    public:                                                               \
        using Exception::Exception;                                       \
        const char* ClassName() const noexcept override { return #Name; } \
    }

VANTORA_EXCEPTION_SUBCLASS(EListError);     // bad index into a list
VANTORA_EXCEPTION_SUBCLASS(EFOpenError);    // a file could not be opened
VANTORA_EXCEPTION_SUBCLASS(EFCreateError);  // a file could not be created or replaced

#undef VANTORA_EXCEPTION_SUBCLASS
