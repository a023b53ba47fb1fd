// Seven simulated days of the role library: a refresh every 30 simulated seconds (20,160 in all), the next
// role of the pack selected every 100 refreshes. Prints the heap in use after warm-up and at the end; run it under
// valgrind --leak-check=full to check for leaks as well (README, "Long runs").

#include "library/RoleLibrary.h"

#include <QCoreApplication>

#include <cstdio>
#include <malloc.h>

using namespace pellora;

namespace {

class SteppingClock final : public Clock {
public:
    QDateTime now() const override { return m_now; }
    void advance(int seconds) { m_now = m_now.addSecs(seconds); }

private:
    QDateTime m_now{QDate(2026, 12, 7), QTime(0, 0)};
};

size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    auto clock = std::make_shared<SteppingClock>();
    RoleLibraryOptions options;
    options.clock = clock;
    options.refreshIntervalMs = 24 * 60 * 60 * 1000; // refreshes are driven by hand below
    RoleLibrary library(options);
    if (library.roles().isEmpty())
        return 1;

    constexpr int refreshes = 7 * 24 * 60 * 2;
    // Both measurements fall on a refresh where the same role is selected, so the snapshot they hold is
    // the same size and any difference is growth.
    const int cycle = 100 * int(library.roles().size());
    const int warmUp = 2 * cycle;
    const int last = refreshes / cycle * cycle;
    const int middle = last / 2 / cycle * cycle;
    size_t atMiddle = 0;
    size_t atLast = 0;
    size_t afterWarmUp = 0;
    size_t peak = 0;
    for (int i = 1; i <= refreshes; ++i) {
        clock->advance(30);
        library.refreshSnapshot();
        if (i % 100 == 0)
            library.select(library.roles().at((i / 100) % library.roles().size()));
        if (i == warmUp)
            afterWarmUp = heapInUse();
        if (i == middle)
            atMiddle = heapInUse();
        if (i == last)
            atLast = heapInUse();
        if (i % cycle == 0 && qEnvironmentVariableIsSet("SOAK_TRACE"))
            std::printf("  refresh %6d: %zu bytes\n", i, heapInUse());
        if (i > warmUp)
            peak = std::max(peak, heapInUse());
    }
    std::printf("refreshes %d, role switches %d\n", refreshes, refreshes / 100);
    std::printf("heap in use after warm-up (refresh %d):  %zu bytes\n", warmUp, afterWarmUp);
    std::printf("heap in use at refresh %d (same role): %zu bytes\n", middle, atMiddle);
    std::printf("heap in use at refresh %d (same role): %zu bytes (peak after warm-up %zu)\n", last, atLast, peak);
    std::printf("growth after warm-up:                    %+lld bytes\n",
                static_cast<long long>(atLast) - static_cast<long long>(afterWarmUp));
    std::printf("growth over the second half:             %+lld bytes\n",
                static_cast<long long>(atLast) - static_cast<long long>(atMiddle));
    return 0;
}
