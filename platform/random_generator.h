#pragma once
// The random generator the draw of an unseeded tournament takes its values from.

namespace zandrel {

class RandomGenerator {
public:
    virtual ~RandomGenerator() = default;
    // Seeds the generator from the clock, once per run: later calls change
    // nothing, and the first value asked for seeds it if need be.
    virtual void seedFromClock() = 0;
    // The next value: uniform in [0, 1), never 1.
    virtual float next() = 0;
};

}  // namespace zandrel
