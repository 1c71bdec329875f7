#pragma once
// A one-line progress bar on the user's standard error, drawn only when that is
// a terminal.

#include <cstdint>

namespace render
{
class ProgressBar
{
public:
    // Draws nothing when disabled or when standard error is not a terminal.
    ProgressBar(bool wanted, std::int64_t totalFrames);
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;
    ~ProgressBar() { finish(); }

    void update(std::int64_t framesDone);
    // Wipes the bar so that the next line starts clean.
    void finish();

private:
    bool active;
    std::int64_t total;
    int shownPercent = -1;
};
}  // namespace render
