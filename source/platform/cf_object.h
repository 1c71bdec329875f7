// Common base of every CoreFoundation object of the layer. A CF reference
// (CFTypeRef) points at an Object: every concrete type derives from it alone,
// so the addresses coincide.
#pragma once

#include <CoreFoundation/CFBase.h>

#include "base/counted_ref.h"

#include <atomic>
#include <string>

namespace velmora::cf
{

enum class TypeID : CFTypeID
{
    kString = 7,
    kBoolean = 21,
    kNumber = 22,
    kData = 20,
    kArray = 19,
    kDictionary = 18,
    kURL = 29,
    kBundle = 31,
    kError = 30,
    kRunLoop = 43,
    kRunLoopSource = 44,
    kRunLoopTimer = 45,
    kFileDescriptor = 46,
};

class Object
{
public:
    explicit Object(TypeID typeID) : typeID_(typeID) {}
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    virtual ~Object() = default;

    TypeID typeID() const { return typeID_; }

    // Called only with an object of the same type.
    virtual bool equals(const Object& other) const { return this == &other; }
    virtual CFHashCode hash() const { return reinterpret_cast<CFHashCode>(this); }
    // UTF-8 text CFCopyDescription answers.
    virtual std::string describe() const;

    void retain() const;
    // Retains unless the object is already being freed (count 0); for
    // registries that hand out objects they do not own.
    bool tryRetain() const;
    // Frees the object when the last reference goes.
    void release() const;
    CFIndex retainCount() const;
    // Constants (CFSTR strings, booleans) ignore retain and release.
    void makeImmortal() { immortal_ = true; }

protected:
    std::string defaultDescription(const char* typeName) const;

private:
    const TypeID typeID_;
    mutable std::atomic<CFIndex> retainCount_{1};
    bool immortal_ = false;
};

inline const Object* asObject(CFTypeRef ref) { return static_cast<const Object*>(ref); }

// The object behind ref when it has the given type, else null.
template <typename T>
T* cast(CFTypeRef ref)
{
    if (ref == nullptr || asObject(ref)->typeID() != T::kTypeID)
        return nullptr;
    return const_cast<T*>(static_cast<const T*>(asObject(ref)));
}

// Owning reference for use inside the layer.
template <typename T>
using Ref = velmora::CountedRef<T>;

}  // namespace velmora::cf
