#include "control/Faults.h"

#include <utility>

#include "storage/TextParsing.h"

namespace qz::devservice {

namespace {

// splitmix64: small, fast and fully defined by its seed on every platform, unlike the
// standard library's distributions.
unsigned long long NextRandom(unsigned long long& state) {
    unsigned long long z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// A uniform draw in [0, 1) from the top 53 bits.
double Draw(unsigned long long& state) {
    return static_cast<double>(NextRandom(state) >> 11) * (1.0 / 9007199254740992.0);
}

bool ParseWhen(const std::string& when, FaultRule& rule) {
    if (!when.empty() && when[0] == 'p') {
        const std::size_t at = when.find('@');
        rule.random = true;
        return at != std::string::npos &&
               ParseProbability(when.substr(1, at - 1), rule.probability) &&
               ParseDecimal(when.substr(at + 1), ~0ull, rule.seed);
    }
    std::string call = when;
    if (!call.empty() && call.back() == '+') {
        rule.andLater = true;
        call.pop_back();
    }
    return ParseDecimal(call, ~0ull, rule.call) && rule.call > 0;
}

bool ParseAnswer(const std::string& answer, FaultRule& rule) {
    if (answer == "never") {
        rule.neverAnswers = true;
        return true;
    }
    unsigned long long code = 0;
    // 0 is success, not a fault.
    if (!ParseDecimal(answer, 0xFFFFFFFFull, code) || code == 0) {
        return false;
    }
    rule.code = static_cast<unsigned int>(code);
    return true;
}

}  // namespace

void ParseFaultRules(const std::string& text, std::vector<FaultRule>& rules,
                     std::vector<std::string>& problems) {
    const std::vector<std::string> items = Split(text, ',');
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::vector<std::string> parts = Split(items[i], ':');
        FaultRule rule;
        rule.text = items[i];
        std::string expected;
        if (parts.size() != 3 || !ParseRequestKind(parts[0], rule.kind)) {
            expected = "<kind>:<when>:<answer>, <kind> one of " + RequestKindList(true);
        } else if (!ParseWhen(parts[1], rule)) {
            expected = "<when> as <N> (1 or more), <N>+ or p<probability>@<seed>";
        } else if (!ParseAnswer(parts[2], rule)) {
            expected = "<answer> as a result code from 1 or never";
        }
        if (expected.empty()) {
            rules.push_back(std::move(rule));
        } else {
            problems.push_back(ItemProblem("rule", i, items[i], expected));
        }
    }
}

FaultInjector::FaultInjector(std::vector<FaultRule> rules) : rules(std::move(rules)) {
    for (const FaultRule& rule : this->rules) {
        randomState.push_back(rule.seed);
    }
}

Fault FaultInjector::Next(RequestKind kind) {
    const unsigned long long call = ++calls[Index(kind)];
    Fault fault;
    for (std::size_t i = 0; i < rules.size(); ++i) {
        const FaultRule& rule = rules[i];
        if (rule.kind != kind) {
            continue;
        }
        // Drawn even when an earlier rule fired, so that each rule's sequence is its own.
        const bool fires = rule.random ? Draw(randomState[i]) < rule.probability
                                       : call == rule.call || (rule.andLater && call > rule.call);
        if (fires && !fault.injected) {
            fault.injected = true;
            fault.neverAnswers = rule.neverAnswers;
            fault.code = rule.code;
            fault.rule = &rule;
        }
    }
    return fault;
}

}  // namespace qz::devservice
