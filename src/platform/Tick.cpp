#include "platform/Tick.h"

#include <time.h>

namespace platform {

std::uint32_t MonotonicTick()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const auto ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                    static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
}

const Clock& DefaultClock()
{
    static const SystemClock clock;
    return clock;
}

QDateTime ManualClock::Now() const
{
    QMutexLocker lock(&mutex_);
    return now_;
}

void ManualClock::SetNow(const QDateTime& now)
{
    QMutexLocker lock(&mutex_);
    now_ = now;
}

void ManualClock::Advance(std::uint32_t ms)
{
    tick_.fetch_add(ms);
    QMutexLocker lock(&mutex_);
    now_ = now_.addMSecs(ms);
}

} // namespace platform
