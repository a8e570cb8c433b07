#pragma once

#include <string>

namespace qz::devservice::tool::doctor {

/// What veltodev doctor found, one line per step ("registry: ...", "library: ..."), each
/// problem and warning followed by one line of advice. A problem is something that makes a
/// game fail (an installation error other than 0, a setting the service ignores); a warning is
/// something unusual that works today.
class DoctorReport {
public:
    /// "<step>: <text>".
    void Line(const std::string& step, const std::string& text);
    /// The step's line and "advice: <advice>"; makes the report unhealthy.
    void Problem(const std::string& step, const std::string& text, const std::string& advice);
    /// The step's line and "advice: <advice>", leaving the verdict alone.
    void Warning(const std::string& step, const std::string& text, const std::string& advice);

    /// True while no problem was reported.
    bool Healthy() const { return problems == 0; }
    /// "2 problems, 1 warning": for the last line.
    std::string Counts() const;
    /// Every line so far, each ending in a line feed.
    const std::string& Text() const { return text; }

private:
    std::string text;
    unsigned int problems = 0;
    unsigned int warnings = 0;
};

/// `bytes` with what a terminal would not show made visible: \r, \n, \t, \0 and \xNN for the
/// other control bytes. Backslashes stay as they are, for Windows paths.
std::string Visible(const std::string& bytes);

/// `Visible(bytes)` in double quotes.
std::string Quoted(const std::string& bytes);

}  // namespace qz::devservice::tool::doctor
