// Lines on standard output for end-to-end tests, switched on by an environment variable
// (NAME=1); a program run normally prints nothing.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace kvb {

class TTestTrace {
public:
    explicit TTestTrace(const char* variable) noexcept {
        const char* v = std::getenv(variable);
        on_ = v != nullptr && v[0] == '1' && v[1] == '\0';
    }
    bool On() const noexcept { return on_; }
    void Line(const std::string& text) const {
        if (!on_) return;
        std::printf("%s\n", text.c_str());
        std::fflush(stdout);
    }

private:
    bool on_ = false;
};

}  // namespace kvb
