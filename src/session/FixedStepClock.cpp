#include "session/FixedStepClock.h"

#include <cmath>

namespace tolvane {

namespace {

constexpr double kQuantum = 1.0 / 1048576.0;  // 2^-20 s

}  // namespace

double FixedStepClock::stepSeconds = 0.02;
long FixedStepClock::frame = 0;

double FixedStepClock::quantise(double seconds)
{
    return std::ceil(seconds / kQuantum) * kQuantum;
}

void FixedStepClock::configure(double fps)
{
    stepSeconds = quantise(1.0 / fps);
    frame = 0;
}

void FixedStepClock::setFrame(long frameNumber)
{
    frame = frameNumber;
}

double FixedStepClock::now()
{
    return static_cast<double>(frame) * stepSeconds;
}

}  // namespace tolvane
