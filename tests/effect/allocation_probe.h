#pragma once
// Replaces operator new for the whole test program, the dlopened bundle's
// calls included (the program exports its symbols): counts every allocation,
// keeps the number of blocks not yet freed, and can make one allocation fail.

#include <cstddef>

namespace allocationprobe
{
long allocations();  // operator new calls so far
std::size_t allocatedBytes();
long liveBlocks();  // allocated and not yet deleted

// The nth operator new from now on throws std::bad_alloc; 0 disarms.
// Allocations made with a function of a module whose file name contains
// sparedModule on the stack neither fail nor count.
void failAllocation(long nth, const char* sparedModule = nullptr);
// Whether the armed failure has been thrown.
bool failureThrown();
}  // namespace allocationprobe
