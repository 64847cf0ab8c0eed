#pragma once
// The program's random generator. It is seeded from the clock once per run:
// every draw of the run continues one sequence. A value asked for before
// start-up seeds it too, so no run ever draws from the generator's fixed
// default seed, which would give every unseeded tournament the same draw.

#include "platform/random_generator.h"

#include <cstdint>
#include <functional>
#include <random>

namespace zandrel {

class SeededRandom : public RandomGenerator {
public:
    // A reading of the clock: what the generator is seeded from.
    using ClockReading = std::function<std::uint64_t()>;
    static std::uint64_t systemClockReading();

    explicit SeededRandom(ClockReading clock = systemClockReading);

    // Reads the clock and seeds, the first time only.
    void seedFromClock() override;
    float next() override;

private:
    ClockReading m_clock;
    bool m_seeded = false;
    std::mt19937 m_generator;
};

}  // namespace zandrel
