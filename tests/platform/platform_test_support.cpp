#include "platform_test_support.h"

#include <dlfcn.h>
#include <fstream>
#include <vector>

namespace platformtest
{

void writeFile(const std::filesystem::path& path, const std::string& content)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

std::string text(CFStringRef string)
{
    if (!string)
        return "<null>";
    const CFIndex size = CFStringGetMaximumSizeForEncoding(CFStringGetLength(string), kCFStringEncodingUTF8) + 1;
    std::vector<char> buffer(static_cast<size_t>(size));
    return CFStringGetCString(string, buffer.data(), size, kCFStringEncodingUTF8) ? buffer.data() : "<unconvertible>";
}

CFURLRef fileURL(const std::filesystem::path& path, bool isDirectory)
{
    const std::string bytes = path.string();
    return CFURLCreateFromFileSystemRepresentation(nullptr, reinterpret_cast<const UInt8*>(bytes.data()),
                                                   static_cast<CFIndex>(bytes.size()), isDirectory);
}

OSErr registerBundle(const std::filesystem::path& path)
{
    FSRef ref;
    const OSStatus error = FSPathMakeRef(reinterpret_cast<const UInt8*>(path.c_str()), &ref, nullptr);
    return error != noErr ? static_cast<OSErr>(error) : RegisterComponentFileRef(&ref, 0);
}

Component testComponent(OSType type)
{
    static const OSErr registered = registerBundle(TEST_COMPONENT_BUNDLE);
    ComponentDescription looking = {type, 0, 0, 0, 0};
    return registered == noErr ? FindNextComponent(nullptr, &looking) : nullptr;
}

TestComponentLog& testComponentLog()
{
    static TestComponentLog* const log = [] {
        testComponent(0);  // registering the bundle loaded its module, which keeps the log
        void* module = dlopen(TEST_COMPONENT_MODULE, RTLD_NOW | RTLD_NOLOAD);
        return reinterpret_cast<TestComponentLog* (*)()>(dlsym(module, "TestComponentLogOf"))();
    }();
    return *log;
}

}  // namespace platformtest
