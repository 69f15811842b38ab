#pragma once

#include <string>

// The one error type that the data layer, the toolkit and the program raise. It carries a
// UTF-16 message and remembers the code address that raised it, for the last-chance report.
class Exception {
public:
    explicit Exception(std::u16string message);
    virtual ~Exception() = default;

    const std::u16string& Message() const { return message_; }
    // Address of the code that constructed the error (its raise site), or null if unknown.
    const void* RaiseAddress() const { return raiseAddress_; }
    // Name shown by the last-chance report.
    virtual const char16_t* TypeName() const { return u"Exception"; }

private:
    std::u16string message_;
    const void* raiseAddress_;
};

// The toolkit's silent abort: the default error report drops it without a message.
class EAbort : public Exception {
public:
    using Exception::Exception;
    const char16_t* TypeName() const override { return u"EAbort"; }
};
