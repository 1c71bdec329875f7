// Linked into every program of a sanitizer build, so that the options
// hold however the program starts: under ctest, during test discovery or by
// hand. The runtimes ask for them before main.

extern "C" __attribute__((visibility("default"))) const char* __asan_default_options()
{
    return "detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1";
}

extern "C" __attribute__((visibility("default"))) const char* __lsan_default_options()
{
    // Quiet about what was suppressed: the tools the tests run keep standard
    // error for their own messages.
    return "print_suppressions=0:suppressions=" VELMORA_LSAN_SUPPRESSIONS;
}

extern "C" __attribute__((visibility("default"))) const char* __ubsan_default_options() { return "print_stacktrace=1"; }
