#pragma once
// The one failure of the Audio Unit host: a call that answered a status other
// than noErr, named with that status.

#include <MacTypes.h>

#include <stdexcept>
#include <string>

namespace auhost
{
class AUHostError : public std::runtime_error
{
public:
    AUHostError(const std::string& call, OSStatus status);
    OSStatus status() const { return status_; }

private:
    OSStatus status_;
};

// Throws AUHostError ("CALL failed with status N") unless status is noErr.
void check(OSStatus status, const char* call);
}  // namespace auhost
