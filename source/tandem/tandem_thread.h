#pragma once
// The host thread that owns a part of a TandemComponent, stated in the
// part's type: each part derives from one tag, and its header names every
// call another thread may make.

// Hosts call properties, presets and the other selectors on their main
// thread; the part's data is that thread's.
struct OwnedByMainThread
{};

// Hosts render on their audio thread; the part's data is that thread's once
// the host renders.
struct OwnedByAudioThread
{};
