#include "auhost/au_error.h"

namespace auhost
{
AUHostError::AUHostError(const std::string& call, OSStatus status)
    : std::runtime_error(call + " failed with status " + std::to_string(status)), status_(status)
{}

void check(OSStatus status, const char* call)
{
    if (status != noErr)
        throw AUHostError(call, status);
}
}  // namespace auhost
