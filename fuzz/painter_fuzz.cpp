// Any sequence of console operations, painted at blocking points chosen by the input, must
// leave the emulated terminal showing exactly the screen model: characters, colours, cursor
// position and visibility. The checking is CheckedConsole's; this target only drives it.

#include "checked_console.h"
#include "console/console.h"

namespace {

// Mostly near the screen, where the edges are; now and then any 32-bit position at all.
ScreenPos choosePosition(FuzzInput& input) {
    if (input.choose(8) == 0) {
        return {input.takeInt32(), input.takeInt32()};
    }
    return {static_cast<std::int32_t>(input.choose(ConsoleWidth + 4)) - 2,
            static_cast<std::int32_t>(input.choose(ConsoleHeight + 4)) - 2};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    CheckedConsole console(input);
    while (!input.empty()) {
        switch (input.choose(10)) {
        case 0:
            moveCursor(choosePosition(input));
            break;
        case 1:
            setColor(static_cast<ConsoleColor>(input.choose(16)));
            break;
        case 2:
            setCursorVisible(input.choose(2) == 1);
            break;
        case 3:
            clearScreen();
            break;
        case 4: {
            // The position first: the order in which arguments are evaluated is the
            // compiler's, and an input must mean the same to every build.
            const ScreenPos pos = choosePosition(input);
            writeAt(pos, input.takeBytes(input.choose(400)));
            break;
        }
        case 5:
            writeText(input.takeBytes(input.choose(40)));
            break;
        case 6:
            writeNumber(input.takeInt32());
            break;
        case 7:
            console.scramble();
            break;
        case 8: {
            // Several items between two blocking points, as the screens draw them.
            const ScreenPos pos = choosePosition(input);
            writeAt(pos, input.takeBytes(input.choose(8)));
            break;
        }
        default:
            pause(0); // a blocking point: the paint is checked
            break;
        }
    }
    pause(0);
    return 0;
}
