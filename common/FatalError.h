#pragma once

namespace qz::common {

/// Ends the process at once on a broken container precondition or exhausted container memory.
/// Prints nothing, never returns, never throws and runs no clean-up of the caller.
[[noreturn]] void FatalError();

}  // namespace qz::common
