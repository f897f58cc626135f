#include "foundation/RandomGenerator.h"

#include <cfenv>
#include <chrono>
#include <cmath>
#include <deque>
#include <random>

namespace {

struct State
{
    std::mt19937_64 engine;
    quint64 seed = 0;
    bool seeded = false;
    std::deque<float> queued;
};

State &state()
{
    static State s;
    return s;
}

} // namespace

namespace Random {

void seedFromTimer()
{
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    // Mix in the address of the state too, so two starts in the same tick still differ (ASLR).
    const auto mixed = static_cast<quint64>(ticks) ^ (reinterpret_cast<quintptr>(&state()) << 16);
    std::seed_seq seq{static_cast<quint32>(mixed), static_cast<quint32>(mixed >> 32)};
    state().engine.seed(seq);
    state().seed = mixed;
    state().seeded = true;
}

float next()
{
    State &s = state();
    if (!s.queued.empty()) {
        const float value = s.queued.front();
        s.queued.pop_front();
        return value;
    }
    if (!s.seeded)
        seedFromTimer();
    // 24 random bits fill a float's mantissa exactly, so the value can never round up to 1.
    return static_cast<float>(s.engine() >> 40) * (1.0f / 16777216.0f);
}

quint64 lastSeed()
{
    return state().seed;
}

void queueForTest(std::initializer_list<float> values)
{
    state().queued.insert(state().queued.end(), values.begin(), values.end());
}

void clearQueueForTest()
{
    state().queued.clear();
}

qint16 roundHalfEven16(double value)
{
    // nearbyint follows the current rounding mode; make sure it is the default one.
    if (std::fegetround() != FE_TONEAREST)
        std::fesetround(FE_TONEAREST);
    return static_cast<qint16>(std::nearbyint(value));
}

} // namespace Random
