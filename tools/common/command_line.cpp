#include "common/command_line.h"

#include "common/component_trace.h"
#include "effect/velmora_version.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <exception>

namespace tools
{
namespace
{
template <typename Number>
std::optional<Number> wholeText(const std::string& text)
{
    Number number{};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    if (text.empty() || error != std::errc() || stop != end)
        return std::nullopt;
    return number;
}

std::string numberText(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

[[noreturn]] void throwInvalid(std::string_view name, const std::string& text, const std::string& expected)
{
    throw UsageError("invalid value '" + text + "' for " + std::string(name) + ": expected " + expected);
}

std::string rangeText(const std::string& minimum, const std::string& maximum, bool bounded)
{
    return bounded ? "from " + minimum + " to " + maximum : "of " + minimum + " or more";
}
}  // namespace

void CommandLine::option(std::initializer_list<std::string_view> names, ValueTaker take)
{
    options.push_back(Option{names, std::move(take), {}});
}

void CommandLine::flag(std::initializer_list<std::string_view> names, FlagTaker take)
{
    options.push_back(Option{names, {}, std::move(take)});
}

const CommandLine::Option* CommandLine::find(std::string_view name) const
{
    for (const Option& candidate : options)
        for (std::string_view known : candidate.names)
            if (known == name)
                return &candidate;
    return nullptr;
}

bool CommandLine::takeCommon(std::string_view argument)
{
    if (argument == "--trace")
        trace = true;
    else if (argument == "-h" || argument == "--help")
        help = true;
    else if (argument == "--version")
        version = true;
    else
        return false;
    return true;
}

std::vector<std::string> CommandLine::parse(int argc, const char* const* argv)
{
    std::vector<std::string> operands;
    bool onlyOperands = false;
    for (int position = 1; position < argc; ++position)
    {
        const std::string argument = argv[position];
        if (onlyOperands || argument.size() < 2 || argument[0] != '-')
        {
            operands.push_back(argument);
            continue;
        }
        if (argument == "--")
        {
            onlyOperands = true;
            continue;
        }
        if (takeCommon(argument))
            continue;
        std::string name = argument;
        std::optional<std::string> value;
        if (const auto equals = argument.find('='); argument.starts_with("--") && equals != std::string::npos)
        {
            name.resize(equals);
            value = argument.substr(equals + 1);
        }
        const Option* option = find(name);
        if (option == nullptr || (value && !option->takeValue))
            throw UsageError("unknown option '" + argument + "' (see --help)");
        if (!option->takeValue)
        {
            option->takeFlag();
            continue;
        }
        if (!value)
        {
            if (position + 1 >= argc)
                throw UsageError("missing value for " + name);
            value = argv[++position];
        }
        option->takeValue(*value);
    }
    return operands;
}

std::optional<int> wholeNumber(const std::string& text) { return wholeText<int>(text); }

std::optional<double> finiteNumber(const std::string& text)
{
    const std::optional<double> number = wholeText<double>(text);
    return number && std::isfinite(*number) ? number : std::nullopt;
}

int wholeNumberOption(std::string_view name, const std::string& text, int minimum, int maximum)
{
    const std::optional<int> number = wholeNumber(text);
    if (!number || *number < minimum || *number > maximum)
        throwInvalid(name, text,
                     "a whole number " +
                         rangeText(std::to_string(minimum), std::to_string(maximum), maximum != INT_MAX));
    return *number;
}

double numberOption(std::string_view name, const std::string& text, double minimum, double maximum)
{
    const std::optional<double> number = finiteNumber(text);
    if (!number || *number < minimum || *number > maximum)
        throwInvalid(name, text,
                     "a number " + rangeText(numberText(minimum), numberText(maximum), !std::isinf(maximum)));
    return *number;
}

void checked(bool done, const std::string& reason)
{
    if (!done)
        throw std::runtime_error(reason);
}

int runTool(const char* name, const char* usage, CommandLine& line, int argc, char** argv,
            const std::function<int(const std::vector<std::string>& operands)>& run)
{
    try
    {
        const std::vector<std::string> operands = line.parse(argc, argv);
        if (line.help)
        {
            std::fputs(usage, stdout);
            return 0;
        }
        if (line.version)
        {
            std::printf("%s %s\nCopyright (c) the Velmora authors. Released under the MIT licence.\n", name,
                        velmora::kVersionString);
            return 0;
        }
        const ComponentTrace trace(line.trace);
        return run(operands);
    }
    catch (const UsageError& failure)
    {
        if (*failure.what() != '\0')
            std::fprintf(stderr, "%s: %s\n", name, failure.what());
        else
            std::fputs(usage, stderr);
        return 2;
    }
    catch (const std::exception& failure)
    {
        std::fprintf(stderr, "%s: %s\n", name, failure.what());
        return 1;
    }
}
}  // namespace tools
