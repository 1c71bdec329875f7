#include "auval/check_table.h"

#include <algorithm>
#include <exception>

namespace auval
{
namespace
{
const char* outcomeText(Outcome outcome)
{
    switch (outcome)
    {
    case Outcome::Pass: return "pass";
    case Outcome::Warn: return "warn";
    case Outcome::Fail: return "FAIL";
    }
    return "";
}
}  // namespace

void CheckTable::record(const std::string& group, const std::string& name, Outcome outcome, const std::string& detail)
{
    table.push_back({group, name, outcome, detail});
}

void CheckTable::check(const std::string& group, const std::string& name, const std::function<std::string()>& body)
{
    try
    {
        const std::string detail = body();
        record(group, name, Outcome::Pass, detail);
    }
    catch (const CheckWarning& warning)
    {
        record(group, name, Outcome::Warn, warning.what());
    }
    catch (const std::exception& failure)
    {
        record(group, name, Outcome::Fail, failure.what());
    }
}

int CheckTable::count(Outcome outcome) const
{
    return static_cast<int>(
        std::count_if(table.begin(), table.end(), [&](const CheckRow& row) { return row.outcome == outcome; }));
}

void CheckTable::print(std::FILE* out) const
{
    size_t groupWidth = 5, nameWidth = 5;
    for (const CheckRow& row : table)
    {
        groupWidth = std::max(groupWidth, row.group.size());
        nameWidth = std::max(nameWidth, row.name.size());
    }
    const int groupColumn = static_cast<int>(groupWidth), nameColumn = static_cast<int>(nameWidth);
    std::fprintf(out, "%-*s  %-*s  %-6s  %s\n", groupColumn, "group", nameColumn, "check", "result", "detail");
    std::fprintf(out, "%s  %s  ------  ------\n", std::string(groupWidth, '-').c_str(),
                 std::string(nameWidth, '-').c_str());
    for (const CheckRow& row : table)
        std::fprintf(out, "%-*s  %-*s  %-6s  %s\n", groupColumn, row.group.c_str(), nameColumn, row.name.c_str(),
                     outcomeText(row.outcome), row.detail.c_str());
    const int failed = count(Outcome::Fail), warned = count(Outcome::Warn);
    const std::string warnings = warned == 0   ? ""
                                 : warned == 1 ? ", 1 warning"
                                               : ", " + std::to_string(warned) + " warnings";
    if (failed == 0)
        std::fprintf(out, "\nverdict: PASS (%zu checks%s)\n", table.size(), warnings.c_str());
    else
        std::fprintf(out, "\nverdict: FAIL (%d of %zu checks failed%s)\n", failed, table.size(), warnings.c_str());
}

void expect(bool condition, const std::string& reason)
{
    if (!condition)
        throw CheckFailure(reason);
}
}  // namespace auval
