#pragma once
// Reference-counted toolkit object. A new object holds one reference, owned by
// whoever created it; the last release deletes it. UI thread only.

#include <concepts>
#include <utility>

namespace gui
{
using Message = const char*;

// Message constants are compared by pointer, not by text.
extern const Message kMsgTimer;  // "timer fired"

class RefObject
{
public:
    RefObject() = default;
    RefObject(const RefObject&) = delete;
    RefObject& operator=(const RefObject&) = delete;
    virtual ~RefObject() = default;

    void retain() { ++referenceCount; }
    void release()
    {
        if (--referenceCount == 0)
            delete this;
    }
    int getNbReference() const { return referenceCount; }

    // Answers 1 when the message was handled, 0 when it is unknown.
    virtual int notify(RefObject* sender, Message message)
    {
        (void)sender;
        (void)message;
        return 0;
    }

private:
    int referenceCount = 1;
};

// One reference to a toolkit object, given back when the handle goes or is
// reset: whoever keeps toolkit objects keeps them through handles, so that
// every path out of a scope or an owner releases each reference once.
template <typename T>
class Ref
{
public:
    Ref() = default;
    // Takes over a reference the caller owns, such as that of a new object.
    static Ref adopt(T* object)
    {
        Ref ref;
        ref.object = object;
        return ref;
    }
    Ref(const Ref& other) : object(other.object) { retainObject(); }
    // A handle to an object of a derived class, as one to its base.
    template <typename Derived>
    requires std::convertible_to<Derived*, T*> Ref(const Ref<Derived>& other) : object(other.get()) { retainObject(); }
    Ref(Ref&& other) noexcept : object(std::exchange(other.object, nullptr)) {}
    Ref& operator=(Ref other) noexcept
    {
        std::swap(object, other.object);
        return *this;
    }
    ~Ref() { reset(); }

    T* get() const { return object; }
    T* operator->() const { return object; }
    explicit operator bool() const { return object != nullptr; }
    // Gives the reference back now; the handle is empty before the object
    // hears of it.
    void reset()
    {
        if (T* old = std::exchange(object, nullptr))
            old->release();
    }

private:
    void retainObject()
    {
        if (object)
            object->retain();
    }

    T* object = nullptr;
};

// A new toolkit object, held by a handle from the start.
template <typename T, typename... Arguments>
Ref<T> makeRef(Arguments&&... arguments)
{
    return Ref<T>::adopt(new T(std::forward<Arguments>(arguments)...));
}
}  // namespace gui
