#include "data/LongWork.h"

namespace {

class Inline final : public LongWork {
public:
    void Run(const std::function<void()>& work, const std::function<void()>&) override { work(); }
};

} // namespace

LongWork& InlineWork() {
    static Inline work;
    return work;
}
