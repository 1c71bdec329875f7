// CFError: a domain, a code and a description.
#pragma once

#include "platform/cf_object.h"

#include <CoreFoundation/CFError.h>

#include <string>

struct __CFError final : velmora::cf::Object
{
    static constexpr velmora::cf::TypeID kTypeID = velmora::cf::TypeID::kError;

    __CFError(CFIndex errorCode, std::string text) : Object(kTypeID), code(errorCode), description(std::move(text)) {}

    std::string describe() const override { return description; }

    const CFIndex code;  // in kCFErrorDomainCocoa
    const std::string description;
};

namespace velmora::cf
{
using Error = ::__CFError;
}
