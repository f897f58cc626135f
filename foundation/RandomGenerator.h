#pragma once

#include <QtGlobal>

#include <initializer_list>

// The program's one pseudo-random generator. Draws are single-precision values in [0, 1).
namespace Random {

// Seeds from a high-resolution clock; never from a fixed value.
void seedFromTimer();
float next();
quint64 lastSeed();

// Tests: the next draws return these values, in order, before the generator is used again.
void queueForTest(std::initializer_list<float> values);
void clearQueueForTest();

// Nearest 16-bit integer, halves to the even neighbour: how the draws turn products into numbers.
qint16 roundHalfEven16(double value);

} // namespace Random
