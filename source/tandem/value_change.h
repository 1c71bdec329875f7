#pragma once
// Whether a stored value must be taken as changed.

// A change counts when the values differ or either is not a number.
inline bool differs(double a, double b) { return !(a == b); }
