#include "batchArguments.h"

#include "batchFailure.h"

#include <charconv>
#include <cmath>
#include <unistd.h>

namespace
{
template <typename T> bool parse(const std::string& text, T& value)
{
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return !text.empty() && result.ec == std::errc() && result.ptr == end;
}
} // namespace

BatchArguments::BatchArguments(const std::vector<std::string>& words,
                               const std::set<std::string>& valueOptions,
                               const std::set<std::string>& flags, int positionalCount)
{
    for (std::size_t k = 0; k < words.size(); ++k)
    {
        const std::string& word = words[k];
        if (word.rfind("--", 0) != 0)
            positionals.push_back(word);
        else if (flags.count(word) || word == "--verbose")
            given[word];
        else if (!valueOptions.count(word))
            throw BatchFailure::badUsage("unknown option " + word);
        else if (k + 1 == words.size())
            throw BatchFailure::badUsage(word + " needs a value");
        else
            given[word].push_back(words[++k]);
    }
    if (int(positionals.size()) != positionalCount)
        throw BatchFailure::badUsage("expected " + std::to_string(positionalCount) +
                                     " file name(s), got " + std::to_string(positionals.size()));
}

std::ostream& BatchArguments::notes(std::ostream& err) const
{
    // A job of many runs would otherwise fill its log with the same few lines per run.
    static std::ostream silent(nullptr);
    return has("--verbose") || isatty(STDERR_FILENO) == 1 ? err : silent;
}

std::string BatchArguments::text(const std::string& name, const std::string& fallback) const
{
    const auto found = given.find(name);
    return found == given.end() || found->second.empty() ? fallback : found->second.back();
}

const std::vector<std::string>& BatchArguments::texts(const std::string& name) const
{
    static const std::vector<std::string> none;
    const auto found = given.find(name);
    return found == given.end() ? none : found->second;
}

template <typename T>
T BatchArguments::parsed(const std::string& name, T fallback, const char* what) const
{
    T value = fallback;
    if (has(name) && !parse(text(name), value))
        throw BatchFailure::badUsage(name + " needs " + what + ", not '" + text(name) + "'");
    return value;
}

int BatchArguments::integer(const std::string& name, int fallback) const
{
    return parsed(name, fallback, "a whole number");
}

double BatchArguments::number(const std::string& name, double fallback) const
{
    return parsed(name, fallback, "a number");
}

float2 BatchArguments::point(const std::string& text)
{
    const std::size_t comma = text.find(',');
    float x = 0.0f, y = 0.0f;
    if (comma == std::string::npos || !parse(text.substr(0, comma), x) ||
        !parse(text.substr(comma + 1), y) || !std::isfinite(x) || !std::isfinite(y))
        throw BatchFailure::badUsage("a seed is X,Y, not '" + text + "'");
    return makeFloat2(x, y);
}

bool BatchArguments::json() const
{
    const std::string format = text("--format", "csv");
    if (format != "csv" && format != "json")
        throw BatchFailure::badUsage("--format is csv or json, not '" + format + "'");
    return format == "json";
}
