#pragma once
// Statuses as the table shows them, and the check that a call answered the
// one it must.

#include <MacTypes.h>

#include <string>

namespace auval
{
// "-10879 (invalid property)"; a status without a name as the bare number.
std::string statusText(OSStatus status);
// Fails the check with "CALL answered X, expected Y" unless status == wanted.
void expectStatus(OSStatus status, OSStatus wanted, const std::string& call);
}  // namespace auval
