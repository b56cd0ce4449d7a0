// What the probe found, one line per check, and the tally at the end.
#pragma once

#include <cstdio>
#include <string>

#include "remote.h"

namespace probe {

class Report {
public:
    explicit Report(std::string scenario) : m_scenario(std::move(scenario)) {}

    bool Check(bool ok, const std::string& what) {
        std::printf("%s %s: %s\n", ok ? "ok  " : "FAIL", m_scenario.c_str(), what.c_str());
        std::fflush(stdout);
        (ok ? m_passed : m_failed)++;
        return ok;
    }
    bool Equal(const std::wstring& actual, const std::wstring& expected, const std::string& what) {
        const bool ok = actual == expected;
        return Check(ok, ok ? what + " = \"" + Utf8(actual) + "\""
                            : what + ": expected \"" + Utf8(expected) + "\", got \"" + Utf8(actual) + "\"");
    }
    bool Equal(long long actual, long long expected, const std::string& what) {
        const bool ok = actual == expected;
        return Check(ok, ok ? what + " = " + std::to_string(actual)
                            : what + ": expected " + std::to_string(expected) + ", got " + std::to_string(actual));
    }
    // Prints the tally; the exit status of the scenario.
    int Finish() const {
        std::printf("%s: %d passed, %d failed\n", m_scenario.c_str(), m_passed, m_failed);
        return m_failed == 0 && m_passed > 0 ? 0 : 1;
    }

private:
    std::string m_scenario;
    int m_passed = 0;
    int m_failed = 0;
};

}  // namespace probe
