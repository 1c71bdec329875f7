#pragma once
// Reference-counted toolkit object. A new object holds one reference, owned by
// whoever created it; the last release deletes it. UI thread only.

#include "base/counted_ref.h"

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

// The handle through which toolkit objects are kept.
template <typename T>
using Ref = velmora::CountedRef<T>;

// A new toolkit object, held by a handle from the start.
template <typename T, typename... Arguments>
Ref<T> makeRef(Arguments&&... arguments)
{
    return Ref<T>::adopt(new T(std::forward<Arguments>(arguments)...));
}
}  // namespace gui
