// Any bytes as "Optionen.cfg": reading them takes no more than the reader's bound, always
// leaves settings the program can play with (1 to 17 columns, 1 to 8 rows, at least four
// cells), and settings written back read back the same.

#include "checked_console.h"
#include "options/options_format.h"

#include <sstream>

namespace {

void requirePlayable(const GameOptions& options) {
    require(options.columns >= 1 && options.columns <= MaxColumns, "columns out of range");
    require(options.rows >= 1 && options.rows <= MaxRows, "rows out of range");
    require(options.columns * options.rows >= ShipCount, "fewer cells than ships");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream file(std::string(reinterpret_cast<const char*>(data), size));
    GameOptions options;
    readOptions(file, options);
    file.clear();
    require(static_cast<std::size_t>(file.tellg()) <= OptionsReadLimit, "read beyond the bound");
    requirePlayable(options);

    std::istringstream written(formatOptions(options));
    GameOptions reread;
    readOptions(written, reread);
    require(reread == options, "written options read back differently");
    return 0;
}
