// Opening: the first open in the process (which loads the module) and a
// later one, timed; then a hundred opens and closes in a row, which under
// LeakSanitizer also show that a closed instance leaves nothing behind.

#include "auval/auval_checks.h"
#include "auval/unit_status.h"

#include <chrono>
#include <cstdio>

namespace auval
{
namespace
{
constexpr int kOpenCloseCycles = 100;

std::string milliseconds(std::chrono::steady_clock::duration duration)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f ms", std::chrono::duration<double, std::milli>(duration).count());
    return text;
}

// Open and close once; the detail is the time the open took.
std::string timedOpen(Component component)
{
    ComponentInstance instance = nullptr;
    const auto start = std::chrono::steady_clock::now();
    const OSErr status = OpenAComponent(component, &instance);
    const auto took = std::chrono::steady_clock::now() - start;
    expectStatus(status, noErr, "OpenAComponent");
    expectStatus(CloseComponent(instance), noErr, "CloseComponent");
    return milliseconds(took);
}

std::string openAndCloseRepeatedly(Component component)
{
    const auto start = std::chrono::steady_clock::now();
    for (int cycle = 0; cycle < kOpenCloseCycles; ++cycle)
    {
        ComponentInstance instance = nullptr;
        expectStatus(OpenAComponent(component, &instance), noErr, "open " + std::to_string(cycle + 1));
        expectStatus(CloseComponent(instance), noErr, "close " + std::to_string(cycle + 1));
    }
    return milliseconds((std::chrono::steady_clock::now() - start) / kOpenCloseCycles) + " per open and close";
}
}  // namespace

void checkOpening(CheckTable& table, Component component)
{
    table.check("open", "cold", [&] { return timedOpen(component); });
    table.check("open", "warm", [&] { return timedOpen(component); });
}

void checkOpenCloseCycles(CheckTable& table, Component component)
{
    table.check("open", std::to_string(kOpenCloseCycles) + " opens and closes",
                [&] { return openAndCloseRepeatedly(component); });
}
}  // namespace auval
