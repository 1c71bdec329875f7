#pragma once
// A program name of at most 23 characters that any thread may read while
// another renames the program, without a lock. Each 64-bit word holds four
// characters beside the number of the renaming that wrote it; a reader takes
// the words again until all carry the same number, so it never returns a mix
// of two names.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

class ProgramName
{
public:
    static constexpr int kBytes = 24;  // terminator included

    explicit ProgramName(const char* initial);

    ProgramName(const ProgramName&) = delete;
    ProgramName& operator=(const ProgramName&) = delete;

    // One thread at a time. Takes text up to its terminator, at most
    // `available` bytes of it, cut to 23 characters.
    void set(const char* text, std::size_t available = kBytes) noexcept;
    // Any thread: the name of one renaming, terminated, zeros after it.
    void get(char (&text)[kBytes]) const noexcept;

private:
    static constexpr int kCharactersPerWord = 4;
    static constexpr int kWords = kBytes / kCharactersPerWord;

    std::array<std::atomic<std::uint64_t>, kWords> words{};
};
