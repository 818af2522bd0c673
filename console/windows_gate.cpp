#include "console/windows_console.h"

namespace {

constexpr LONG Free = 0, Painting = 1, HandingBack = 2, HandedBack = 3;

} // namespace

bool ConsoleGate::startPainting() {
    return InterlockedCompareExchange(&user_, Painting, Free) == Free;
}

void ConsoleGate::stopPainting() {
    InterlockedCompareExchange(&user_, Free, Painting);
}

bool ConsoleGate::takeForTheEnd(Clock clock) {
    // A paint, or the other thread handing the console back, takes milliseconds. A count of
    // short sleeps is no measure of time: each may last a timer tick of 15.6 ms.
    const ULONGLONG deadline = clock.now() + HandBackWait;
    do {
        const LONG user = InterlockedCompareExchange(&user_, HandingBack, Free);
        if (user == Free) {
            return true;
        }
        if (user == HandedBack) {
            return false;
        }
        clock.pause();
    } while (clock.now() < deadline);
    // A paint that does not end is not waited for any longer.
    return InterlockedExchange(&user_, HandingBack) == Painting;
}

bool ConsoleGate::takeForTheEnd() {
    return takeForTheEnd({GetTickCount64, [] { Sleep(1); }});
}

void ConsoleGate::handedBack() {
    InterlockedExchange(&user_, HandedBack);
}

void ConsoleGate::reset() {
    InterlockedExchange(&user_, Free);
}

ConsoleGate& consoleGate() {
    static ConsoleGate gate;
    return gate;
}
