// filterdemo: the FFT low-pass filter window.
//
//   filterdemo                          the window, until File > Exit or closing it
//   filterdemo --screenshot FILE        renders the window off screen into a PNG and ends
//              [--cutoff N]             with the scroll bar at N (0 … 256) first
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "app/ufilter.h"
#include "platform/hosts/qt/QtHost.h"

namespace {

// Takes "--cutoff N" out of the arguments. Answers false (with a message) for a value that is
// not a whole number.
bool TakeCutoff(int& argc, char** argv, std::optional<int>& cutoff) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--cutoff") != 0) continue;
        char* end = nullptr;
        const long v = i + 1 < argc ? std::strtol(argv[i + 1], &end, 10) : 0;
        if (i + 1 >= argc || end == argv[i + 1] || *end != '\0') {
            std::fprintf(stderr, "filterdemo: --cutoff needs a whole number\n");
            return false;
        }
        cutoff = static_cast<int>(v < -1000000 ? -1000000 : v > 1000000 ? 1000000 : v);
        for (int j = i; j + 2 <= argc; ++j) argv[j] = argv[j + 2];
        argc -= 2;
        return true;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kvb;
    std::optional<int> cutoff;
    if (!TakeCutoff(argc, argv, cutoff)) return 1;
    return RunQtApplication(argc, argv, [&cutoff] {
        InitializeSharedUnits();
        Application()->Initialize();
        auto* form = Application()->CreateForm<TFrmFilter>();
        // The scroll bar keeps the position inside its range, as it does for the user.
        if (cutoff) form->SBFreqLimit->SetPosition(*cutoff);
    });
}
