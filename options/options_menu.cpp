#include "options/options_menu.h"

void runOptionsMenu() {}
