#include "reading/Draw.h"

#include "foundation/RandomGenerator.h"

int drawSignIndex(float r)
{
    // The product is taken in double precision, so it is exact for every float r.
    return Random::roundHalfEven16(static_cast<double>(r) * 23.0);
}
