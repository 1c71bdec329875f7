// CFURL: an absolute POSIX path (no trailing "/" except the root) and whether
// it names a folder.
#pragma once

#include "platform/cf_object.h"

#include <CoreFoundation/CFURL.h>

#include <string>

struct __CFURL final : velmora::cf::Object
{
    static constexpr velmora::cf::TypeID kTypeID = velmora::cf::TypeID::kURL;

    __CFURL(std::string absolutePath, bool isDirectory)
        : Object(kTypeID), path(std::move(absolutePath)), directory(isDirectory)
    {}

    // Null for an empty path; relative paths are taken from the current folder.
    static CFURLRef create(std::string path, bool isDirectory);

    bool equals(const Object& other) const override;
    CFHashCode hash() const override { return std::hash<std::string>()(path); }
    std::string describe() const override;

    const std::string path;
    const bool directory;
};

namespace velmora::cf
{
using URL = ::__CFURL;
}
