#include "tandem/pending_item.h"

#include "tandem/tandem_exceptions.h"
#include "tandem/tandem_trace.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <vector>

namespace
{
constexpr int kMaxNameAttempts = 100;

void check(OSErr status)
{
    if (status != noErr)
    {
        throw MacOSException(status);
    }
}

// Hidden, so that neither preset conversion nor a folder view shows it, and
// apart from every other process's and every other call's.
UnicodeName temporaryName()
{
    static std::atomic<unsigned> counter{0};
    char text[64];
    std::snprintf(text, sizeof text, ".tandem-%ld-%u.partial", static_cast<long>(getpid()), counter++);
    return fileNameFromMacRoman(text);
}

void deleteFilesIn(const FSRef& folder)
{
    std::vector<FSRef> items;
    FolderIterator iterator(folder);
    FSRef refs[kItemsPerRequest];
    ItemCount count = 0;
    for (bool more = true; more;)
    {
        more = iterator.next(refs, count);
        items.insert(items.end(), refs, refs + count);
    }
    for (const FSRef& item : items)
    {
        FSDeleteObject(&item);
    }
}
}  // namespace

bool findItem(const FSRef& folder, const UnicodeName& name, FSRef& item)
{
    const OSErr status = FSMakeFSRefUnicode(&folder, name.length, name.units, kTextEncodingUnknown, &item);
    if (status == fnfErr)
    {
        return false;
    }
    check(status);
    return true;
}

PendingItem::PendingItem(const FSRef& folder, const UnicodeName& name, Kind kind)
    : folder(folder), name(name), kind(kind)
{
    for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt)
    {
        const UnicodeName hidden = temporaryName();
        const OSErr status = kind == Kind::file
                                 ? FSCreateFileUnicode(&folder, hidden.length, hidden.units, kFSCatInfoNone, nullptr,
                                                       &temporary, nullptr)
                                 : FSCreateDirectoryUnicode(&folder, hidden.length, hidden.units, kFSCatInfoNone,
                                                            nullptr, &temporary, nullptr, nullptr);
        // A name taken by a process that stopped before it cleaned up.
        if (status == dupFNErr)
        {
            continue;
        }
        check(status);
        pending = true;
        return;
    }
    throw MacOSException(dupFNErr);
}

PendingItem::~PendingItem()
{
    if (!pending)
    {
        return;
    }
    if (kind == Kind::folder)
    {
        try
        {
            deleteFilesIn(temporary);
        }
        catch (...)
        {
            // What cannot be listed stays behind, hidden.
        }
    }
    FSDeleteObject(&temporary);
}

void PendingItem::replace(FSRef* placed)
{
    TANDEM_REQUIRE(pending && kind == Kind::file);
    FSRef existing;
    if (findItem(folder, name, existing))
    {
        // The temporary file then holds the old content, deleted with it.
        check(FSExchangeObjects(&temporary, &existing));
        if (placed != nullptr)
        {
            *placed = existing;
        }
        return;
    }
    FSRef renamed;
    check(FSRenameUnicode(&temporary, name.length, name.units, kTextEncodingUnknown, &renamed));
    pending = false;
    if (placed != nullptr)
    {
        *placed = renamed;
    }
}

bool PendingItem::placeIfAbsent()
{
    TANDEM_REQUIRE(pending);
    const OSErr status = FSRenameUnicode(&temporary, name.length, name.units, kTextEncodingUnknown, nullptr);
    if (status == dupFNErr)
    {
        return false;
    }
    check(status);
    pending = false;
    return true;
}
