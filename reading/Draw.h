#pragma once

// Turns a draw r in [0, 1) into a sign index 0..23: the exact product r x 23, rounded half to even.
// Alpha and Omega come up half as often as the others; the empty entry 24 never does.
int drawSignIndex(float r);
