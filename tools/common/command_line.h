#pragma once
// The command line of every tool and the frame of its main: options among
// the operands, the options every tool takes (--trace, -h/--help,
// --version), and a failure reported in one line with its exit code.

#include <functional>
#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tools
{
// A command line the tool cannot act on: "TOOL: reason" and exit code 2, or
// the usage alone when the reason is empty.
class UsageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Options may stand anywhere among the operands: "--name VALUE",
// "--name=VALUE" or "-n VALUE" where they take a value, alone where they do
// not. After "--" every argument is an operand; so are "-" and "".
class CommandLine
{
public:
    using ValueTaker = std::function<void(const std::string& value)>;
    using FlagTaker = std::function<void()>;

    void option(std::initializer_list<std::string_view> names, ValueTaker take);
    void flag(std::initializer_list<std::string_view> names, FlagTaker take);

    // The operands in order. Throws UsageError for an unknown option or a
    // missing value, and whatever a taker throws.
    std::vector<std::string> parse(int argc, const char* const* argv);

    // The options every tool takes.
    bool trace = false;  // --trace: let the component's trace lines through
    bool help = false;   // -h, --help
    bool version = false;

private:
    struct Option
    {
        std::vector<std::string_view> names;
        ValueTaker takeValue;  // empty for a flag
        FlagTaker takeFlag;
    };
    const Option* find(std::string_view name) const;
    bool takeCommon(std::string_view argument);

    std::vector<Option> options;
};

// The text as a number when it is one and nothing else: no blanks, no
// trailing text; a finite one only.
std::optional<int> wholeNumber(const std::string& text);
std::optional<double> finiteNumber(const std::string& text);

// An option's value that must be such a number within minimum..maximum; a
// maximum of INT_MAX or infinity means no upper bound. Throws UsageError
// "invalid value 'TEXT' for NAME: expected ..." otherwise.
int wholeNumberOption(std::string_view name, const std::string& text, int minimum, int maximum);
double numberOption(std::string_view name, const std::string& text, double minimum, double maximum);

// How a tool's step reports a failure for runTool to print: throws
// std::runtime_error with reason unless done.
void checked(bool done, const std::string& reason);

// A tool's main: parses argv with `line`, answers --help with `usage` and
// --version with the tool's name and release (on the first line, as manual
// page generators read it), else calls `run` with the operands while the
// component's trace is held back unless --trace was given. A UsageError ends
// the tool with exit code 2, any other exception with 1, each in one line
// "NAME: reason" on standard error once the trace is gone; otherwise run's
// result is the exit code.
int runTool(const char* name, const char* usage, CommandLine& line, int argc, char** argv,
            const std::function<int(const std::vector<std::string>& operands)>& run);
}  // namespace tools
