#pragma once
// Points an environment variable elsewhere, or unsets it, for one test.

#include <cstdlib>
#include <optional>
#include <string>

namespace testsupport
{
class ScopedVariable
{
public:
    // No value unsets the variable.
    ScopedVariable(const char* name, const std::optional<std::string>& value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        value ? setenv(name, value->c_str(), 1) : unsetenv(name);
    }
    ~ScopedVariable() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};
}  // namespace testsupport
