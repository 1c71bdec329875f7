#include "vst3host/message.h"

#include <algorithm>

namespace vst3host
{
void Message::setMessageID(vst3::FIDString newId)
{
    try
    {
        id = newId ? newId : "";
    }
    catch (...)
    {
        id.clear();  // a failed allocation: the message goes without an identifier
    }
}

template <typename Type>
const Type* AttributeList::find(vst3::AttrID id) const
{
    if (!id)
        return nullptr;
    const auto found = attributes.find(id);
    return found == attributes.end() ? nullptr : std::get_if<Type>(&found->second);
}

vst3::tresult AttributeList::set(vst3::AttrID id, Value value)
{
    if (!id)
        return vst3::kInvalidArgument;
    return withoutThrowing([&] {
        attributes[id] = std::move(value);
        return vst3::kResultOk;
    });
}

vst3::tresult AttributeList::setInt(vst3::AttrID id, vst3::int64 value) { return set(id, value); }

vst3::tresult AttributeList::getInt(vst3::AttrID id, vst3::int64& value)
{
    const auto* found = find<vst3::int64>(id);
    if (!found)
        return vst3::kResultFalse;
    value = *found;
    return vst3::kResultOk;
}

vst3::tresult AttributeList::setFloat(vst3::AttrID id, double value) { return set(id, value); }

vst3::tresult AttributeList::getFloat(vst3::AttrID id, double& value)
{
    const auto* found = find<double>(id);
    if (!found)
        return vst3::kResultFalse;
    value = *found;
    return vst3::kResultOk;
}

vst3::tresult AttributeList::setString(vst3::AttrID id, const vst3::TChar* string)
{
    if (!string)
        return vst3::kInvalidArgument;
    return withoutThrowing([&] { return set(id, std::u16string(string)); });
}

vst3::tresult AttributeList::getString(vst3::AttrID id, vst3::TChar* string, vst3::uint32 sizeInBytes)
{
    const auto* found = find<std::u16string>(id);
    const std::size_t room = sizeInBytes / sizeof(vst3::TChar);
    if (!found || !string || room == 0)
        return vst3::kResultFalse;
    const std::size_t length = std::min(found->size(), room - 1);
    std::copy_n(found->data(), length, string);
    string[length] = 0;
    return vst3::kResultOk;
}

vst3::tresult AttributeList::setBinary(vst3::AttrID id, const void* data, vst3::uint32 sizeInBytes)
{
    if (!data && sizeInBytes > 0)
        return vst3::kInvalidArgument;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return withoutThrowing([&] { return set(id, std::vector<std::uint8_t>(bytes, bytes + sizeInBytes)); });
}

vst3::tresult AttributeList::getBinary(vst3::AttrID id, const void*& data, vst3::uint32& sizeInBytes)
{
    const auto* found = find<std::vector<std::uint8_t>>(id);
    if (!found)
        return vst3::kResultFalse;
    data = found->data();
    sizeInBytes = static_cast<vst3::uint32>(found->size());
    return vst3::kResultOk;
}
}  // namespace vst3host
