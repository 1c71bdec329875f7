#include "fake_effect_control.h"

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>

FakeEffectControl& resetFakeEffect(const char* path)
{
    void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr)
    {
        std::fprintf(stderr, "cannot load the fake effect: %s\n", dlerror());
        std::abort();
    }
    using ControlProc = FakeEffectControl* (*)();
    FakeEffectControl& control = *reinterpret_cast<ControlProc>(dlsym(library, "fakeEffectControl"))();
    control = FakeEffectControl{};
    return control;
}
