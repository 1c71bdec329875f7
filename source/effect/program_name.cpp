#include "effect/program_name.h"

#include <algorithm>
#include <cstring>

namespace
{
constexpr int kRenamingShift = 32;

std::uint32_t renamingOf(std::uint64_t word) { return static_cast<std::uint32_t>(word >> kRenamingShift); }
}  // namespace

ProgramName::ProgramName(const char* initial) { set(initial); }

void ProgramName::set(const char* text, std::size_t available) noexcept
{
    char name[kBytes] = {};
    std::memcpy(name, text, strnlen(text, std::min<std::size_t>(available, kBytes - 1)));
    // Only this thread writes, so it reads back its own last number.
    const std::uint64_t renaming = static_cast<std::uint64_t>(renamingOf(words[0].load(std::memory_order_relaxed)) + 1)
                                   << kRenamingShift;
    for (std::size_t word = 0; word < words.size(); ++word)
    {
        std::uint32_t characters = 0;
        std::memcpy(&characters, name + word * kCharactersPerWord, kCharactersPerWord);
        words[word].store(renaming | characters, std::memory_order_relaxed);
    }
}

void ProgramName::get(char (&text)[kBytes]) const noexcept
{
    std::array<std::uint64_t, kWords> taken{};
    bool whole = false;
    while (!whole)
    {
        for (std::size_t word = 0; word < words.size(); ++word)
            taken[word] = words[word].load(std::memory_order_relaxed);
        whole = std::all_of(taken.begin(), taken.end(),
                            [&](std::uint64_t word) { return renamingOf(word) == renamingOf(taken[0]); });
    }
    for (std::size_t word = 0; word < taken.size(); ++word)
    {
        const auto characters = static_cast<std::uint32_t>(taken[word]);
        std::memcpy(text + word * kCharactersPerWord, &characters, kCharactersPerWord);
    }
}
