#pragma once
// One counted reference to an object that counts its own (retain() adds one,
// release() gives one back and frees the object with the last), given back
// when the handle goes or is reset, so that every way out of a scope or an
// owner gives each reference back once. Threads: those of the objects'.

#include <concepts>
#include <utility>

namespace velmora
{
template <typename T>
class CountedRef
{
public:
    CountedRef() = default;
    // Takes over a reference the caller owns, such as that of a new object.
    static CountedRef adopt(T* object)
    {
        CountedRef ref;
        ref.object = object;
        return ref;
    }
    // Adds a reference of its own to an object someone else owns.
    static CountedRef retain(T* object)
    {
        if (object)
            object->retain();
        return adopt(object);
    }
    CountedRef(const CountedRef& other) : CountedRef(retain(other.object)) {}
    // A handle to an object of a derived class, as one to its base.
    template <typename Derived>
    requires std::convertible_to<Derived*, T*> CountedRef(const CountedRef<Derived>& other)
        : CountedRef(retain(other.get()))
    {}
    CountedRef(CountedRef&& other) noexcept : object(other.detach()) {}
    CountedRef& operator=(CountedRef other) noexcept
    {
        std::swap(object, other.object);
        return *this;
    }
    ~CountedRef() { reset(); }

    T* get() const { return object; }
    T* operator->() const { return object; }
    T& operator*() const { return *object; }
    explicit operator bool() const { return object != nullptr; }
    // Gives the reference back now; the handle is empty before the object
    // hears of it.
    void reset()
    {
        if (T* old = detach())
            old->release();
    }
    // Hands the reference over to the caller; the handle is empty.
    T* detach() { return std::exchange(object, nullptr); }

private:
    T* object = nullptr;
};
}  // namespace velmora
