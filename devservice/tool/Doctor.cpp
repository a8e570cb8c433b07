// doctor: why a game finds the platform or not, and whether the development service will do
// what its settings say. The check a CI script runs before a fault test.

#include "tool/Doctor.h"

#include <cstdio>

#include "tool/Commands.h"
#include "tool/DoctorLoaderWalk.h"
#include "tool/DoctorServiceChecks.h"

namespace qz::devservice::tool {

namespace doctor {

DoctorReport Diagnose() {
    DoctorReport report;
    const LoaderOutcome outcome = WalkLoaderWay(report);
    if (outcome.library != nullptr) {
        CheckDevelopmentService(report, outcome.library, outcome.directory);
    }
    report.Line("doctor", "a game gets installation error " +
                              std::to_string(outcome.installationError) + "; " + report.Counts());
    return report;
}

}  // namespace doctor

std::string RunDoctor(Storage&, const Arguments& arguments) {
    if (!arguments.empty()) {
        throw UsageError("doctor takes no arguments");
    }
    const doctor::DoctorReport report = doctor::Diagnose();
    std::fputs(report.Text().c_str(), stdout);
    if (!report.Healthy()) {
        throw Failure(report.Counts() + ": see the advice lines");
    }
    return "";
}

}  // namespace qz::devservice::tool
