#pragma once
#include "core/time_types.h"

// The current time; tests replace it with a fake.
class Clock {
public:
    virtual ~Clock() = default;
    virtual Instant Now() const = 0;
};

class SystemClock final : public Clock {
public:
    Instant Now() const override;
};

// One instant, for the rules that take a clock.
class FixedClock final : public Clock {
public:
    explicit FixedClock(Instant now) : now_(now) {}
    Instant Now() const override { return now_; }

private:
    Instant now_;
};
