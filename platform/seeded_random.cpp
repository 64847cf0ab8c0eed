#include "platform/seeded_random.h"

#include <chrono>
#include <utility>

namespace zandrel {

std::uint64_t SeededRandom::systemClockReading()
{
    return static_cast<std::uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

SeededRandom::SeededRandom(ClockReading clock)
    : m_clock(std::move(clock))
{
}

void SeededRandom::seedFromClock()
{
    if (m_seeded)
        return;
    m_seeded = true;
    const std::uint64_t now = m_clock();
    std::seed_seq seed{static_cast<std::uint32_t>(now), static_cast<std::uint32_t>(now >> 32)};
    m_generator.seed(seed);
}

float SeededRandom::next()
{
    seedFromClock();
    // 24 random bits fill a float's mantissa exactly, so the value is a
    // multiple of 2^-24 below 1: unlike uniform_real_distribution<float>,
    // rounding can never produce 1.0.
    return static_cast<float>(m_generator() >> 8) * 0x1.0p-24f;
}

}  // namespace zandrel
