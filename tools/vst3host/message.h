#pragma once
// What the halves of an effect send each other through the host: a message
// with an identifier and a list of named attributes. The host makes them
// (IHostApplication::createInstance); the plug-in fills, sends and releases
// them. Used by one thread at a time.

#include "vst3host/host_object.h"

#include "vst3/abi/editing.h"

#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

namespace vst3host
{
class AttributeList : public HostObject<vst3::IAttributeList>
{
public:
    vst3::tresult setInt(vst3::AttrID id, vst3::int64 value) override;
    vst3::tresult getInt(vst3::AttrID id, vst3::int64& value) override;
    vst3::tresult setFloat(vst3::AttrID id, double value) override;
    vst3::tresult getFloat(vst3::AttrID id, double& value) override;
    vst3::tresult setString(vst3::AttrID id, const vst3::TChar* string) override;
    // Cut to sizeInBytes, terminator included.
    vst3::tresult getString(vst3::AttrID id, vst3::TChar* string, vst3::uint32 sizeInBytes) override;
    vst3::tresult setBinary(vst3::AttrID id, const void* data, vst3::uint32 sizeInBytes) override;
    // data stays valid while the list lives and the attribute is not set again.
    vst3::tresult getBinary(vst3::AttrID id, const void*& data, vst3::uint32& sizeInBytes) override;

private:
    using Value = std::variant<vst3::int64, double, std::u16string, std::vector<std::uint8_t>>;
    template <typename Type>
    const Type* find(vst3::AttrID id) const;
    vst3::tresult set(vst3::AttrID id, Value value);

    std::map<std::string, Value> attributes;
};

class Message : public HostObject<vst3::IMessage>
{
public:
    vst3::FIDString getMessageID() override { return id.c_str(); }
    void setMessageID(vst3::FIDString newId) override;
    vst3::IAttributeList* getAttributes() override { return attributes.get(); }

private:
    std::string id;
    Ref<AttributeList> attributes = makeHostObject<AttributeList>();
};
}  // namespace vst3host
