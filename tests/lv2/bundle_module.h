#pragma once
// A module of the built LV2 bundle opened as a host opens it, and its first
// descriptor.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdint>
#include <string>

namespace lv2test
{
// Leaves the module open in `library` (null when it did not open) and the
// descriptor that `entryName` answers for index 0 in `descriptor`.
template <typename Descriptor>
void loadDescriptor(const char* moduleName, const char* entryName, void*& library, const Descriptor*& descriptor)
{
    const std::string module = std::string(VELMORA_LV2_BUNDLE) + "/Contents/x86_64-linux/" + moduleName;
    library = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    using Entry = const Descriptor* (*)(std::uint32_t);
    const auto entry = reinterpret_cast<Entry>(dlsym(library, entryName));
    ASSERT_NE(entry, nullptr) << entryName;
    descriptor = entry(0);
    ASSERT_NE(descriptor, nullptr);
}
}  // namespace lv2test
