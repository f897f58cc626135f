#pragma once

#include <QString>

// The promotion screen's appeal: one of four messages, picked by the whole part of r x 4.
namespace Appeal {

constexpr int kCount = 4;

int pickIndex(float r);
// Message 0..3 with the main site's domain filled in; empty outside that range.
QString message(int index);

} // namespace Appeal
