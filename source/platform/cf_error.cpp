#include "platform/cf_error.h"

#include "platform/cf_string.h"

using velmora::cf::cast;
using velmora::cf::Error;

extern "C" {

const CFErrorDomain kCFErrorDomainCocoa = CFSTR("NSCocoaErrorDomain");

CFTypeID CFErrorGetTypeID(void) { return static_cast<CFTypeID>(Error::kTypeID); }

CFErrorDomain CFErrorGetDomain(CFErrorRef err) { return cast<Error>(err) ? kCFErrorDomainCocoa : nullptr; }

CFIndex CFErrorGetCode(CFErrorRef err)
{
    const auto* error = cast<Error>(err);
    return error ? error->code : 0;
}

CFStringRef CFErrorCopyDescription(CFErrorRef err)
{
    const auto* error = cast<Error>(err);
    return error ? velmora::cf::String::createFromUTF8(error->description) : nullptr;
}

}  // extern "C"
