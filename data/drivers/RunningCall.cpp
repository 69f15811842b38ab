#include "data/drivers/RunningCall.h"

RunningCall::Scope::Scope(RunningCall& call) : call_(call) {
    std::lock_guard lock(call_.mutex_);
    outermost_ = call_.depth_++ == 0;
    if (outermost_)
        call_.cancelled_.store(false, std::memory_order_relaxed);
}

RunningCall::Scope::~Scope() {
    std::lock_guard lock(call_.mutex_);
    // From here on a cancel finds no call and is dropped, so it cannot reach the next one.
    if (--call_.depth_ == 0)
        call_.cancelled_.store(false, std::memory_order_relaxed);
}
