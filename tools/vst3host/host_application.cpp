#include "vst3host/host_application.h"

#include "vst3host/message.h"
#include "vst3host/text.h"

#include <algorithm>

namespace vst3host
{
namespace
{
// One of the host's objects that keeps the count of those alive.
template <typename Object>
class Counted : public Object
{
public:
    explicit Counted(std::shared_ptr<std::atomic<int>> alive) : alive(std::move(alive)) { ++*this->alive; }
    ~Counted() override { --*alive; }

private:
    std::shared_ptr<std::atomic<int>> alive;
};
}  // namespace

vst3::tresult HostApplication::getName(vst3::String128 text)
{
    if (!text)
        return vst3::kInvalidArgument;
    return withoutThrowing([&] {
        const std::u16string wide = utf16(name);
        const std::size_t length = std::min<std::size_t>(wide.size(), 127);
        std::copy_n(wide.data(), length, text);
        text[length] = 0;
        return vst3::kResultOk;
    });
}

vst3::tresult HostApplication::createInstance(vst3::TUID classId, vst3::TUID interfaceId, void** object)
{
    if (!object)
        return vst3::kInvalidArgument;
    *object = nullptr;
    const bool message = vst3::IMessage::iid.is(classId) && vst3::IMessage::iid.is(interfaceId);
    const bool attributes = vst3::IAttributeList::iid.is(classId) && vst3::IAttributeList::iid.is(interfaceId);
    if (!message && !attributes)
        return vst3::kNoInterface;
    return withoutThrowing([&] {
        *object = message ? static_cast<void*>(static_cast<vst3::IMessage*>(new Counted<Message>(alive)))
                          : static_cast<void*>(static_cast<vst3::IAttributeList*>(new Counted<AttributeList>(alive)));
        return vst3::kResultOk;
    });
}
}  // namespace vst3host
