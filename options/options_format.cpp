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

// strtol with base 10, held to 32 bits as on the system the file format comes from: digits
// after blanks and a sign, 0 without digits, the nearest limit when the number is too big.
std::int32_t toNumber(std::string_view line) {
    const long value = std::strtol(std::string(line).c_str(), nullptr, 10);
    return static_cast<std::int32_t>(std::clamp<long>(value, INT32_MIN, INT32_MAX));
}

} // namespace

std::string formatOptions(const GameOptions& options) {
    return std::to_string(options.columns) + "\r\n" + std::to_string(options.rows) + "\r\n" +
           (options.cheatMode ? "1" : "0") + "\r\n" + (options.saveOptions ? "1" : "0") + "\r\n";
}

// The end of the bytes counts as a line too, also right after a line end: such an empty line
// gives its field the number 0.
void readOptions(std::string_view bytes, GameOptions& options) {
    for (int lineNumber = 0; lineNumber < 4; ++lineNumber) {
        const std::size_t end = bytes.find('\n');
        const std::int32_t number = toNumber(bytes.substr(0, std::min(end, LineLimit)));
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
        if (end == std::string_view::npos) {
            return;
        }
        bytes.remove_prefix(end + 1);
    }
}

void readOptions(std::istream& in, GameOptions& options) {
    std::string bytes(OptionsReadLimit, '\0');
    in.read(bytes.data(), std::streamsize(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    readOptions(bytes, options);
}
