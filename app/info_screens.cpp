#include "app/info_screens.h"

void showInfo() {}
void showChangelog() {}
