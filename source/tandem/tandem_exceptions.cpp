#include "tandem/tandem_exceptions.h"

#include <cstdio>
#include <cstring>

TandemException::TandemException(const char* message) noexcept
{
    messageBuffer[0] = '\0';
    if (message != nullptr)
    {
        std::strncat(messageBuffer, message, sizeof(messageBuffer) - 1);
    }
}

const char* TandemException::what() const noexcept { return messageBuffer; }

MacOSException::MacOSException(std::int32_t status) noexcept : status(status) { textBuffer[0] = '\0'; }

const char* MacOSException::what() const noexcept
{
    if (textBuffer[0] == '\0')
    {
        std::snprintf(textBuffer, sizeof(textBuffer), "Mac OS error code %d", static_cast<int>(status));
    }
    return textBuffer;
}
