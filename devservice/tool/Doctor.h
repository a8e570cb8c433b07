#pragma once

#include "tool/DoctorReport.h"

namespace qz::devservice::tool::doctor {

/// What a game started in this environment gets: the loader's way to the service library step
/// by step and, when that is the development service, its settings and storage directory. The
/// last line sums up; the report is healthy when a game gets installation error 0 and every
/// setting is valid.
DoctorReport Diagnose();

}  // namespace qz::devservice::tool::doctor
