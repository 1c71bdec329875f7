#pragma once
// The one way the Audio Unit side releases CoreFoundation objects it owns: a
// CFHandle for an object owned by a scope or a member, and releaseCF for a
// field whose type an Audio Unit record fixes (a preset's name, a bus name).

#include <CoreFoundation/CoreFoundation.h>

#include <utility>

// Releases the object and clears the field; null is allowed.
template <typename Ref>
void releaseCF(Ref& ref)
{
    if (ref != nullptr)
    {
        CFRelease(ref);
        ref = nullptr;
    }
}

// Owns one reference to a CF object and releases it when it goes.
template <typename Ref>
class CFHandle
{
public:
    explicit CFHandle(Ref ref = nullptr) : ref(ref) {}
    ~CFHandle() { releaseCF(ref); }
    CFHandle(CFHandle&& other) noexcept : ref(other.release()) {}
    CFHandle& operator=(CFHandle&& other) noexcept
    {
        reset(other.release());
        return *this;
    }
    CFHandle(const CFHandle&) = delete;
    CFHandle& operator=(const CFHandle&) = delete;

    Ref get() const { return ref; }
    explicit operator bool() const { return ref != nullptr; }
    // Hands the object over to the caller.
    Ref release() { return std::exchange(ref, nullptr); }
    void reset(Ref replacement = nullptr)
    {
        releaseCF(ref);
        ref = replacement;
    }

private:
    Ref ref;
};
