// The words of one batch command after its name: positional arguments and --options, checked
// against the options the command knows. Options take one value each (and may repeat) unless
// they are flags. Every mistake is thrown as a bad-usage BatchFailure.
#pragma once

#include "common/typeOperations.h"

#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

class BatchArguments
{
public:
    BatchArguments(const std::vector<std::string>& words, const std::set<std::string>& valueOptions,
                   const std::set<std::string>& flags, int positionalCount);

    const std::string& positional(int k) const { return positionals[k]; }
    bool has(const std::string& name) const { return given.count(name) != 0; }
    // Where a job's notes go: err with --verbose or while err is a terminal, else nowhere.
    // Errors and warnings always go to err.
    std::ostream& notes(std::ostream& err) const;
    // The last value given, or the fallback.
    std::string text(const std::string& name, const std::string& fallback = "") const;
    const std::vector<std::string>& texts(const std::string& name) const;
    int integer(const std::string& name, int fallback) const;
    double number(const std::string& name, double fallback) const;
    // A seed "X,Y".
    static float2 point(const std::string& text);
    // "csv" (the default) or "json"; true for json.
    bool json() const;

private:
    template <typename T> T parsed(const std::string& name, T fallback, const char* what) const;

    std::vector<std::string> positionals;
    std::map<std::string, std::vector<std::string>> given;
};
