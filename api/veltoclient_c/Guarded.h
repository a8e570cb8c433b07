#pragma once

namespace qz::veltoclient_c {

/// Runs `action` and gives its result, or `neutral` when it throws: no exception may cross a
/// C function (the only one the C++ API lets out is std::bad_alloc).
template <typename Result, typename Action>
Result Guarded(Result neutral, Action&& action) noexcept {
    try {
        return action();
    } catch (...) {
        return neutral;
    }
}

/// Guarded for actions without a result.
template <typename Action>
void Guarded(Action&& action) noexcept {
    try {
        action();
    } catch (...) {  // NOLINT(bugprone-empty-catch): nothing is left to undo
    }
}

}  // namespace qz::veltoclient_c
