// Loaded by the bundle tests as a bundle executable and as a plain ".so".
extern "C" __attribute__((visibility("default"))) int ProbeEntry() { return 42; }
