#include "base/Exception.h"

#include <utility>

#if defined(_MSC_VER)
#include <intrin.h>
#define QD_NOINLINE __declspec(noinline)
#define QD_RETURN_ADDRESS() _ReturnAddress()
#else
#define QD_NOINLINE __attribute__((noinline))
#define QD_RETURN_ADDRESS() __builtin_return_address(0)
#endif

// Kept out of line so that the return address is the raise site in the caller.
QD_NOINLINE Exception::Exception(std::u16string message)
    : message_(std::move(message)), raiseAddress_(QD_RETURN_ADDRESS()) {}
