// Property lists through libplist: CF objects are converted to libplist
// nodes and back, and libplist reads and writes the bytes.
#include "platform/cf_array.h"
#include "platform/cf_data.h"
#include "platform/cf_dictionary.h"
#include "platform/cf_error.h"
#include "platform/cf_number.h"
#include "platform/cf_string.h"

#include <CoreFoundation/CFPropertyList.h>

#include <plist/plist.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

using namespace velmora::cf;

namespace
{

struct NodeDeleter
{
    void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};
using Node = std::unique_ptr<void, NodeDeleter>;

// Deeper nesting is refused: it only comes from hostile files or containers
// that hold themselves, and converting it would exhaust the stack.
constexpr int kMaxNesting = 512;

// CF object to libplist node; empty with a reason in whyNot on failure.
Node toNode(CFTypeRef object, std::string& whyNot, int depth = 0)
{
    if (depth > kMaxNesting)
    {
        whyNot = "containers are nested too deeply";
        return nullptr;
    }
    if (!object)
    {
        whyNot = "property lists cannot contain NULL";
        return nullptr;
    }
    if (const auto* string = cast<String>(object))
        return Node(plist_new_string(string->utf8.c_str()));
    if (const auto* boolean = cast<BooleanObject>(object))
        return Node(plist_new_bool(boolean->value));
    if (const auto* number = cast<Number>(object))
    {
        // libplist writes integers at or above 2^63 as negative ones.
        return Node(number->isFloat() ? plist_new_real(number->realValue)
                                      : plist_new_uint(static_cast<uint64_t>(number->integerValue)));
    }
    if (const auto* data = cast<Data>(object))
    {
        return Node(plist_new_data(reinterpret_cast<const char*>(data->bytes.data()), data->bytes.size()));
    }
    if (const auto* array = cast<Array>(object))
    {
        Node node(plist_new_array());
        for (const void* value : array->values)
        {
            Node item = toNode(value, whyNot, depth + 1);
            if (!item)
                return nullptr;
            plist_array_append_item(node.get(), item.release());
        }
        return node;
    }
    if (const auto* dictionary = cast<Dictionary>(object))
    {
        Node node(plist_new_dict());
        for (const auto& entry : dictionary->entries)
        {
            const auto* key = cast<String>(entry.key);
            if (!key)
            {
                whyNot = "dictionary keys must be strings";
                return nullptr;
            }
            Node item = toNode(entry.value, whyNot, depth + 1);
            if (!item)
                return nullptr;
            plist_dict_set_item(node.get(), key->utf8.c_str(), item.release());
        }
        return node;
    }
    whyNot = "property lists cannot contain objects of type " + asObject(object)->describe();
    return nullptr;
}

CFTypeRef fromNode(plist_t node, CFOptionFlags options, std::string& whyNot, int depth);

CFTypeRef stringFromNode(plist_t node, std::string& whyNot)
{
    char* text = nullptr;
    plist_get_string_val(node, &text);
    CFTypeRef string = String::createFromUTF8(text ? text : "");
    std::free(text);
    if (!string)
        whyNot = "a string is not valid UTF-8";
    return string;
}

CFTypeRef dataFromNode(plist_t node, CFOptionFlags options)
{
    char* bytes = nullptr;
    uint64_t length = 0;
    plist_get_data_val(node, &bytes, &length);
    const auto* begin = reinterpret_cast<const UInt8*>(bytes);
    CFTypeRef data = new Data(std::vector<UInt8>(begin, begin + length),
                              options == kCFPropertyListMutableContainersAndLeaves);
    std::free(bytes);
    return data;
}

CFTypeRef arrayFromNode(plist_t node, CFOptionFlags options, std::string& whyNot, int depth)
{
    Ref<Array> array = Ref<Array>::adopt(new Array(&kCFTypeArrayCallBacks, options != kCFPropertyListImmutable));
    const uint32_t count = plist_array_get_size(node);
    for (uint32_t index = 0; index < count; ++index)
    {
        CFTypeRef item = fromNode(plist_array_get_item(node, index), options, whyNot, depth + 1);
        if (!item)
            return nullptr;
        array->append(item);
        CFRelease(item);
    }
    return array.detach();
}

CFTypeRef dictionaryFromNode(plist_t node, CFOptionFlags options, std::string& whyNot, int depth)
{
    Ref<Dictionary> dictionary = Ref<Dictionary>::adopt(new Dictionary(
        &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks, options != kCFPropertyListImmutable));
    plist_dict_iter iterator = nullptr;
    plist_dict_new_iter(node, &iterator);
    std::unique_ptr<void, decltype(&std::free)> iteratorOwner(iterator, &std::free);
    for (;;)
    {
        char* keyText = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(node, iterator, &keyText, &value);
        if (!value)
        {
            std::free(keyText);
            break;
        }
        Ref<String> key = Ref<String>::adopt(const_cast<String*>(String::createFromUTF8(keyText ? keyText : "")));
        std::free(keyText);
        CFTypeRef item = key ? fromNode(value, options, whyNot, depth + 1) : nullptr;
        if (!key)
            whyNot = "a key is not valid UTF-8";
        if (!item)
            return nullptr;
        dictionary->set(key.get(), item);
        CFRelease(item);
    }
    return dictionary.detach();
}

// libplist node to CF object (a new reference); null with a reason on failure.
CFTypeRef fromNode(plist_t node, CFOptionFlags options, std::string& whyNot, int depth = 0)
{
    if (depth > kMaxNesting)
    {
        whyNot = "containers are nested too deeply";
        return nullptr;
    }
    switch (plist_get_node_type(node))
    {
    case PLIST_STRING: return stringFromNode(node, whyNot);
    case PLIST_BOOLEAN:
    {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return value ? kCFBooleanTrue : kCFBooleanFalse;
    }
    case PLIST_UINT:
    {
        uint64_t value = 0;
        plist_get_uint_val(node, &value);
        return makeInteger(static_cast<SInt64>(value));
    }
    case PLIST_REAL:
    {
        double value = 0;
        plist_get_real_val(node, &value);
        return makeReal(value);
    }
    case PLIST_DATA: return dataFromNode(node, options);
    case PLIST_ARRAY: return arrayFromNode(node, options, whyNot, depth);
    case PLIST_DICT: return dictionaryFromNode(node, options, whyNot, depth);
    case PLIST_DATE: whyNot = "dates are not supported"; return nullptr;
    default: whyNot = "unsupported element"; return nullptr;
    }
}

// Deepest nesting of array and dict elements, counted before libplist sees
// the text: its parser and its free recurse without a limit. Tags inside
// comments count too, which errs on the safe side.
int xmlNestingDepth(std::string_view xml)
{
    int depth = 0;
    int deepest = 0;
    for (size_t open = xml.find('<'); open != std::string_view::npos; open = xml.find('<', open + 1))
    {
        const bool closing = open + 1 < xml.size() && xml[open + 1] == '/';
        const size_t nameStart = open + (closing ? 2 : 1);
        const size_t nameEnd = xml.find_first_of(" \t\r\n/>", nameStart);
        if (nameEnd == std::string_view::npos)
            break;
        const std::string_view name = xml.substr(nameStart, nameEnd - nameStart);
        if (name != "array" && name != "dict")
            continue;
        const size_t end = xml.find('>', nameEnd);
        if (end == std::string_view::npos)
            break;
        if (closing)
            --depth;
        else if (xml[end - 1] != '/')
            deepest = std::max(deepest, ++depth);
    }
    return deepest;
}

void report(CFErrorRef* error, CFIndex code, std::string text)
{
    if (error)
        *error = new Error(code, std::move(text));
}

}  // namespace

extern "C" {

CFDataRef CFPropertyListCreateData(CFAllocatorRef, CFPropertyListRef propertyList, CFPropertyListFormat format,
                                   CFOptionFlags, CFErrorRef* error)
{
    if (error)
        *error = nullptr;
    if (format != kCFPropertyListXMLFormat_v1_0)
    {
        report(error, kCFPropertyListWriteInvalidError,
               "Property list format " + std::to_string(format) + " cannot be written");
        return nullptr;
    }
    std::string whyNot;
    Node node = toNode(propertyList, whyNot);
    if (!node)
    {
        report(error, kCFPropertyListWriteInvalidError, "Property list invalid for format: " + whyNot);
        return nullptr;
    }
    char* bytes = nullptr;
    uint32_t length = 0;
    plist_to_xml(node.get(), &bytes, &length);
    if (!bytes)
    {
        report(error, kCFPropertyListWriteInvalidError, "Property list could not be written");
        return nullptr;
    }
    const auto* begin = reinterpret_cast<const UInt8*>(bytes);
    CFDataRef data = new Data(std::vector<UInt8>(begin, begin + length), false);
    std::free(bytes);
    return data;
}

CFPropertyListRef CFPropertyListCreateWithData(CFAllocatorRef, CFDataRef data, CFOptionFlags options,
                                               CFPropertyListFormat* format, CFErrorRef* error)
{
    if (error)
        *error = nullptr;
    const auto* bytes = cast<Data>(data);
    if (!bytes || bytes->bytes.empty())
    {
        report(error, kCFPropertyListReadCorruptError, "Cannot parse a NULL or zero-length data");
        return nullptr;
    }
    if (bytes->bytes.size() > UINT32_MAX)
    {
        report(error, kCFPropertyListReadCorruptError, "Property list data is too large");
        return nullptr;
    }
    const auto* text = reinterpret_cast<const char*>(bytes->bytes.data());
    const auto length = static_cast<uint32_t>(bytes->bytes.size());
    if (plist_is_binary(text, length))
    {
        report(error, kCFPropertyListReadCorruptError, "Binary property lists are not supported");
        return nullptr;
    }
    // XML has no NUL character, and libplist stops the process on a string
    // that holds one.
    if (std::memchr(text, '\0', length) != nullptr)
    {
        report(error, kCFPropertyListReadCorruptError, "XML property list contains a NUL character");
        return nullptr;
    }
    if (xmlNestingDepth(std::string_view(text, length)) > kMaxNesting)
    {
        report(error, kCFPropertyListReadCorruptError,
               "Property list cannot be read: containers are nested too deeply");
        return nullptr;
    }
    plist_t root = nullptr;
    plist_from_xml(text, length, &root);
    Node owner(root);
    if (!root)
    {
        report(error, kCFPropertyListReadCorruptError, "XML property list is not well-formed");
        return nullptr;
    }
    std::string whyNot;
    CFPropertyListRef result = fromNode(root, options, whyNot);
    if (!result)
    {
        report(error, kCFPropertyListReadCorruptError, "Property list cannot be read: " + whyNot);
        return nullptr;
    }
    if (format)
        *format = kCFPropertyListXMLFormat_v1_0;
    return result;
}

CFDataRef CFPropertyListCreateXMLData(CFAllocatorRef allocator, CFPropertyListRef propertyList)
{
    return CFPropertyListCreateData(allocator, propertyList, kCFPropertyListXMLFormat_v1_0, 0, nullptr);
}

CFPropertyListRef CFPropertyListCreateFromXMLData(CFAllocatorRef allocator, CFDataRef xmlData,
                                                  CFOptionFlags mutabilityOption, CFStringRef* errorString)
{
    if (errorString)
        *errorString = nullptr;
    CFErrorRef error = nullptr;
    CFPropertyListRef result = CFPropertyListCreateWithData(allocator, xmlData, mutabilityOption, nullptr, &error);
    if (error)
    {
        if (errorString)
            *errorString = CFErrorCopyDescription(error);
        CFRelease(error);
    }
    return result;
}

}  // extern "C"
