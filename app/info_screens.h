#pragma once

// The read-only Info and Changelog screens; each returns after one key.
void showInfo();
void showChangelog();
