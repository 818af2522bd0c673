#include "options/options_format.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

// A line counts with its first 19 characters at most, as it always has in this format; the
// rest of a longer line is passed over up to its line end, and the next line is read for the
// next field. The CR of a CR LF line end needs no care of its own: like any character that is
// no digit, it ends the number.
constexpr std::size_t LineLimit = 19;

// One line without its LF, taking at most budget bytes from the stream. atEnd is set when the
// end of the stream or of the budget was reached, also when it came at once: such an empty
// read still counts as a line (of no characters).
std::string readLine(std::istream& in, std::size_t& budget, bool& atEnd) {
    std::string line;
    for (;;) {
        const int ch = budget == 0 ? std::char_traits<char>::eof() : (--budget, in.get());
        if (ch == std::char_traits<char>::eof()) {
            atEnd = true;
            return line;
        }
        if (ch == '\n') {
            return line;
        }
        if (line.size() < LineLimit) {
            line.push_back(static_cast<char>(ch));
        }
    }
}

// strtol with base 10, held to 32 bits as on the system the file format comes from: digits
// after blanks and a sign, 0 without digits, the nearest limit when the number is too big.
std::int32_t toNumber(const std::string& line) {
    const long value = std::strtol(line.c_str(), nullptr, 10);
    return static_cast<std::int32_t>(std::clamp<long>(value, INT32_MIN, INT32_MAX));
}

} // namespace

std::string formatOptions(const GameOptions& options) {
    return std::to_string(options.columns) + "\r\n" + std::to_string(options.rows) + "\r\n" +
           (options.cheatMode ? "1" : "0") + "\r\n" + (options.saveOptions ? "1" : "0") + "\r\n";
}

void readOptions(std::istream& in, GameOptions& options) {
    std::size_t budget = OptionsReadLimit;
    bool atEnd = false;
    for (int lineNumber = 0; lineNumber < 4 && !atEnd; ++lineNumber) {
        const std::int32_t number = toNumber(readLine(in, budget, atEnd));
        switch (lineNumber) {
        case 0:
            options.columns = number >= 1 && number <= MaxColumns ? number : MaxColumns;
            break;
        case 1:
            options.rows = number >= 1 && number <= MaxRows ? number : MaxRows;
            if (options.columns * options.rows < ShipCount) {
                options.columns = MaxColumns;
                options.rows = MaxRows;
            }
            break;
        case 2:
            options.cheatMode = number == 1;
            break;
        default:
            options.saveOptions = number == 1;
            break;
        }
    }
}
