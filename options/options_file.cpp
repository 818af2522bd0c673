#include "options/options_file.h"

void buildOptionsPaths() {}
void loadOptionsFile() {}
void storeOptionsFile() {}
