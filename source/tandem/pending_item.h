#pragma once
// Files and folders written whole or not at all. The content goes into a
// hidden temporary item in the same folder, which takes the item's name only
// once complete: a write that fails (a full disk, an I/O error, a crash)
// leaves an existing item as it was, and no cut file that a later open would
// take for a finished one. File Manager failures throw MacOSException with
// their status.

#include "tandem/preset_files.h"

#include <CoreServices/CoreServices.h>

// The item called `name` in `folder`; false when there is none.
bool findItem(const FSRef& folder, const UnicodeName& name, FSRef& item);

class PendingItem
{
public:
    enum class Kind
    {
        file,
        folder
    };
    // Creates the temporary item beside the one called `name` in `folder`.
    PendingItem(const FSRef& folder, const UnicodeName& name, Kind kind);
    // Deletes the temporary item, with the files a folder holds, unless it
    // took its name; after replace() it holds the replaced content.
    ~PendingItem();
    PendingItem(const PendingItem&) = delete;
    PendingItem& operator=(const PendingItem&) = delete;

    // What to write into. A file's data fork is closed (DataFork::close)
    // before the file takes its name.
    const FSRef& item() const { return temporary; }
    // The file takes its name, in place of a file of that name if there is
    // one (exchanged in one step); `placed` gets the reference of the result.
    void replace(FSRef* placed = nullptr);
    // The item takes its name unless an item has it already; false then,
    // and that item stays untouched.
    bool placeIfAbsent();

private:
    FSRef folder;
    UnicodeName name;
    Kind kind;
    FSRef temporary{};
    bool pending = false;
};
