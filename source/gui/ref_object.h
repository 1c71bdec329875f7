#pragma once
// Reference-counted toolkit object. A new object holds one reference, owned by
// whoever created it; the last release deletes it. UI thread only.

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
}  // namespace gui
