#pragma once

#include <string>
#include <vector>

#include "control/RequestKinds.h"

namespace qz::devservice {

/// One rule of VYKARIS_DEVSERVICE_FAULTS: which calls of one kind fail, and how.
struct FaultRule {
    RequestKind kind = RequestKind::kList;
    /// The rule's own text, for the log.
    std::string text;
    /// "Nth call" rules: the call (1 = the first of the kind in the process) and whether
    /// every later call fails too.
    unsigned long long call = 0;
    bool andLater = false;
    /// Probability rules: each call fails with `probability`, drawn from a generator seeded
    /// with `seed`.
    bool random = false;
    double probability = 0;
    unsigned long long seed = 0;
    /// What the failing call answers: `code`, or nothing at all.
    bool neverAnswers = false;
    unsigned int code = 0;
};

/// Parses rules separated by commas, each "<kind>:<when>:<answer>" (README.md). The valid
/// rules go to `rules`, in their order; each malformed one is left out and described in
/// `problems` by its position (1 = the first) and the form expected, so that one typing
/// error does not switch off the faults the other rules ask for.
void ParseFaultRules(const std::string& text, std::vector<FaultRule>& rules,
                     std::vector<std::string>& problems);

/// What one call gets: nothing unusual, a result code, or no answer.
struct Fault {
    bool injected = false;
    bool neverAnswers = false;
    unsigned int code = 0;
    /// The rule that fired, when one did.
    const FaultRule* rule = nullptr;
};

/// Decides, call by call, which calls fail. Every rule sees every call of its kind (each
/// counts them and draws once for each), so a rule's choices do not depend on the others and
/// the same calls in the same order always fail the same way. The first rule that fires wins.
class FaultInjector {
public:
    explicit FaultInjector(std::vector<FaultRule> rules);

    /// Decides the next call of `kind`.
    Fault Next(RequestKind kind);

private:
    std::vector<FaultRule> rules;
    std::vector<unsigned long long> randomState;
    unsigned long long calls[kRequestKindCount] = {};
};

}  // namespace qz::devservice
