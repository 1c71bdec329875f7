#pragma once
// The bytes of an XSETTINGS property, as a desktop's settings daemon
// publishes them, in either byte order.

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport
{
class XSettingsBytes
{
public:
    explicit XSettingsBytes(bool mostSignificantFirst = false) : msbFirst(mostSignificantFirst)
    {
        bytes = {static_cast<unsigned char>(msbFirst), 0, 0, 0};
        card(7, 4);  // serial
        card(0, 4);  // count, kept as settings are added
    }
    XSettingsBytes& integer(const std::string& name, std::int32_t value)
    {
        header(0, name);
        card(static_cast<std::uint32_t>(value), 4);
        return *this;
    }
    XSettingsBytes& string(const std::string& name, const std::string& value)
    {
        header(1, name);
        card(static_cast<std::uint32_t>(value.size()), 4);
        padded(value);
        return *this;
    }
    XSettingsBytes& color(const std::string& name)
    {
        header(2, name);
        bytes.insert(bytes.end(), 8, 0x80);
        return *this;
    }
    const std::vector<unsigned char>& data() const { return bytes; }

private:
    void header(unsigned char type, const std::string& name)
    {
        card(++count, 4, 8);
        bytes.insert(bytes.end(), {type, 0});
        card(static_cast<std::uint32_t>(name.size()), 2);
        padded(name);
        card(3, 4);  // serial of the last change
    }
    void padded(const std::string& text)
    {
        bytes.insert(bytes.end(), text.begin(), text.end());
        bytes.insert(bytes.end(), (4 - text.size() % 4) % 4, 0);
    }
    // `size` bytes of value at offset `at`, appended by default.
    void card(std::uint32_t value, std::size_t size, std::size_t at = SIZE_MAX)
    {
        if (at == SIZE_MAX)
            bytes.resize((at = bytes.size()) + size);
        for (std::size_t index = 0; index < size; ++index)
            bytes[at + (msbFirst ? size - 1 - index : index)] = static_cast<unsigned char>(value >> (8 * index));
    }

    bool msbFirst;
    std::uint32_t count = 0;
    std::vector<unsigned char> bytes;
};
}  // namespace testsupport
