#include "gui/xsettings.h"

#include <X11/Xatom.h>

#include <string>

#include "gui/x11_errors.h"

namespace gui
{
namespace
{
enum SettingType : unsigned char
{
    kInteger = 0,
    kString = 1,
    kColor = 2
};

// Reads the property's fields in the byte order its first byte names, each
// name and string padded to a multiple of 4 bytes.
class SettingsReader
{
public:
    explicit SettingsReader(std::span<const unsigned char> bytes_) : bytes(bytes_) {}

    bool skip(std::size_t count)
    {
        if (count > bytes.size() - position)
            return false;
        position += count;
        return true;
    }
    std::optional<std::uint32_t> card(std::size_t size)
    {
        if (size > bytes.size() - position)
            return std::nullopt;
        std::uint32_t value = 0;
        for (std::size_t index = 0; index < size; ++index)
        {
            const std::size_t byte = mostSignificantFirst ? index : size - 1 - index;
            value = (value << 8) | bytes[position + byte];
        }
        position += size;
        return value;
    }
    std::optional<std::string_view> padded(std::size_t length)
    {
        if (length > bytes.size() - position)
            return std::nullopt;
        const std::string_view text(reinterpret_cast<const char*>(bytes.data() + position), length);
        return skip((length + 3) & ~std::size_t{3}) ? std::optional(text) : std::nullopt;
    }
    bool mostSignificantFirst = false;

private:
    std::span<const unsigned char> bytes;
    std::size_t position = 0;
};

bool skipValue(SettingsReader& reader, std::uint32_t type)
{
    if (type == kColor)
        return reader.skip(8);  // four 16-bit components
    if (type != kString)
        return false;
    const std::optional<std::uint32_t> length = reader.card(4);
    return length && reader.padded(*length);
}
}  // namespace

std::optional<std::int32_t> xsettingsInteger(std::span<const unsigned char> property, std::string_view name)
{
    SettingsReader reader(property);
    const std::optional<std::uint32_t> order = reader.card(1);
    if (!order || *order > 1)
        return std::nullopt;
    reader.mostSignificantFirst = *order == 1;
    std::optional<std::uint32_t> count;
    if (!reader.skip(3) || !reader.card(4) || !(count = reader.card(4)))
        return std::nullopt;
    for (std::uint32_t setting = 0; setting < *count; ++setting)
    {
        const std::optional<std::uint32_t> type = reader.card(1);
        std::optional<std::uint32_t> nameLength;
        if (!type || !reader.skip(1) || !(nameLength = reader.card(2)))
            return std::nullopt;
        const std::optional<std::string_view> settingName = reader.padded(*nameLength);
        if (!settingName || !reader.skip(4))  // the serial of its last change
            return std::nullopt;
        if (*type == kInteger)
        {
            const std::optional<std::uint32_t> value = reader.card(4);
            if (!value)
                return std::nullopt;
            if (*settingName == name)
                return static_cast<std::int32_t>(*value);
        }
        else if (*settingName == name || !skipValue(reader, *type))
            return std::nullopt;
    }
    return std::nullopt;
}

std::optional<std::int32_t> xsettingsInteger(Display* display, std::string_view name)
{
    const std::string selection = "_XSETTINGS_S" + std::to_string(DefaultScreen(display));
    const Window owner = XGetSelectionOwner(display, XInternAtom(display, selection.c_str(), False));
    if (owner == None)
        return std::nullopt;
    const Atom settings = XInternAtom(display, "_XSETTINGS_SETTINGS", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    // The owner may go away between the two requests.
    const bool read = withErrorsRecorded(display, [&] {
        return XGetWindowProperty(display, owner, settings, 0, 1 << 16, False, settings, &type, &format, &count,
                                  &remaining, &data) == Success;
    });
    std::optional<std::int32_t> value;
    if (read && data && format == 8)
        value = xsettingsInteger({data, count}, name);
    if (data)
        XFree(data);
    return value;
}
}  // namespace gui
