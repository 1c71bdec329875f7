#include "auhost_test_support.h"

#include "auhost/au_error.h"
#include "auhost/component_bundle.h"

namespace auhosttest
{
namespace
{
Component findRegistered(OSType subtype)
{
    static const bool registered = (auhost::registerComponentBundle(testComponentBundle()), true);
    const auto found = auhost::findComponents({0, subtype, 0, 0, 0});
    return registered && !found.empty() ? found.front().component : nullptr;
}
}  // namespace

std::filesystem::path testComponentBundle()
{
    return std::filesystem::path(TEST_COMPONENT_EXECUTABLE_DIR).parent_path().parent_path();
}

Component testEffect() { return findRegistered(code("TsFx")); }

Component refusingComponent() { return findRegistered(code("TsRf")); }

TestComponentStorage& seenBy(const auhost::AudioUnitInstance& unit)
{
    return *reinterpret_cast<TestComponentStorage*>(GetComponentInstanceStorage(unit.unit()));
}

OSStatus statusOf(const std::function<void()>& call)
{
    try
    {
        call();
    }
    catch (const auhost::AUHostError& failure)
    {
        return failure.status();
    }
    return noErr;
}
}  // namespace auhosttest
