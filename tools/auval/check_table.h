#pragma once
// The rows of a conformance run: each check's group, name, outcome and a
// short detail (a measurement, or what went wrong), printed as a table with
// a verdict beneath. A warning marks what the unit's own sound gets wrong
// (non-numbers, silence) while its calls behave: shown, but no failure.

#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace auval
{
enum class Outcome
{
    Pass,
    Warn,
    Fail,
};

struct CheckRow
{
    std::string group;
    std::string name;
    Outcome outcome;
    std::string detail;
};

class CheckTable
{
public:
    void record(const std::string& group, const std::string& name, Outcome outcome, const std::string& detail = "");
    // Runs one check; it returns its detail, or throws CheckWarning, or any
    // other std::exception with the reason it fails.
    void check(const std::string& group, const std::string& name, const std::function<std::string()>& body);

    const std::vector<CheckRow>& rows() const { return table; }
    int count(Outcome outcome) const;
    void print(std::FILE* out) const;

private:
    std::vector<CheckRow> table;
};

// The reason a check fails: thrown by checks, caught by CheckTable::check.
class CheckFailure : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class CheckWarning : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Throws CheckFailure(reason) unless condition holds.
void expect(bool condition, const std::string& reason);
}  // namespace auval
