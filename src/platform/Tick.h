#pragma once

#include <QDateTime>
#include <QMutex>
#include <atomic>
#include <cstdint>

namespace platform {

// A monotonic millisecond tick that wraps at 2^32; compare two ticks by their
// unsigned difference.
std::uint32_t MonotonicTick();

inline std::uint32_t TicksBetween(std::uint32_t earlier, std::uint32_t later)
{
    return later - earlier;
}

// Time as the program sees it; tests substitute a clock they set.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::uint32_t Tick() const = 0;
    virtual QDateTime Now() const = 0; // local time
};

class SystemClock final : public Clock {
public:
    std::uint32_t Tick() const override { return MonotonicTick(); }
    QDateTime Now() const override { return QDateTime::currentDateTime(); }
};

// The shared system clock.
const Clock& DefaultClock();

// A clock for tests: it stands still until set or advanced. Thread-safe.
class ManualClock final : public Clock {
public:
    explicit ManualClock(QDateTime now = QDateTime::currentDateTime(), std::uint32_t tick = 0)
        : tick_(tick)
        , now_(std::move(now))
    {
    }
    std::uint32_t Tick() const override { return tick_.load(); }
    QDateTime Now() const override;
    void SetNow(const QDateTime& now);
    void SetTick(std::uint32_t tick) { tick_.store(tick); }
    // Moves both the tick and the wall time forward.
    void Advance(std::uint32_t ms);

private:
    std::atomic<std::uint32_t> tick_;
    mutable QMutex mutex_;
    QDateTime now_;
};

} // namespace platform
