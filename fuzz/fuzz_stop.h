#pragma once
// How a fuzz target reports that the code under test did not stand an input.

namespace fuzzing
{
// Stops the process with the reason in the fuzzer's report.
[[noreturn]] void stop(const char* what, const char* why);
}  // namespace fuzzing
