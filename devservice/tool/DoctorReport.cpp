#include "tool/DoctorReport.h"

#include <cstdio>

namespace qz::devservice::tool::doctor {

void DoctorReport::Line(const std::string& step, const std::string& line) {
    text += step + ": " + line + "\n";
}

void DoctorReport::Problem(const std::string& step, const std::string& line,
                           const std::string& advice) {
    Line(step, line);
    Line("advice", advice);
    ++problems;
}

void DoctorReport::Warning(const std::string& step, const std::string& line,
                           const std::string& advice) {
    Line(step, line);
    Line("advice", advice);
    ++warnings;
}

std::string DoctorReport::Counts() const {
    return std::to_string(problems) + (problems == 1 ? " problem, " : " problems, ") +
           std::to_string(warnings) + (warnings == 1 ? " warning" : " warnings");
}

std::string Visible(const std::string& bytes) {
    std::string shown;
    for (const char c : bytes) {
        const unsigned char byte = static_cast<unsigned char>(c);
        switch (c) {
            case '\r':
                shown += "\\r";
                break;
            case '\n':
                shown += "\\n";
                break;
            case '\t':
                shown += "\\t";
                break;
            case '\0':
                shown += "\\0";
                break;
            default:
                if (byte < 0x20 || byte == 0x7F) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
                    shown += escaped;
                } else {
                    shown += c;
                }
        }
    }
    return shown;
}

std::string Quoted(const std::string& bytes) {
    return "\"" + Visible(bytes) + "\"";
}

}  // namespace qz::devservice::tool::doctor
