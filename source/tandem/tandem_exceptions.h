#pragma once
// Failures of the Audio Unit side and its VST hosting layer travel as these
// exceptions; only the component entry and clean-up code that rethrows catch
// them. Messages live in fixed buffers so that throwing never allocates.

#include <cstdint>
#include <exception>

class TandemException : public std::exception
{
public:
    // Copies at most 255 characters; a null message becomes empty.
    explicit TandemException(const char* message) noexcept;
    const char* what() const noexcept override;

private:
    char messageBuffer[256];
};

// Data that does not have the expected layout or values.
class FormatException : public TandemException
{
public:
    using TandemException::TandemException;
};

// Data that ends before a field that must be read.
class EOFException : public TandemException
{
public:
    using TandemException::TandemException;
};

// A failing platform call, carrying its status code.
class MacOSException : public std::exception
{
public:
    explicit MacOSException(std::int32_t status) noexcept;
    std::int32_t getStatus() const noexcept { return status; }
    // "Mac OS error code %d", formatted on the first call.
    const char* what() const noexcept override;

private:
    std::int32_t status;
    mutable char textBuffer[256];
};
