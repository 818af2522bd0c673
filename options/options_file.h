#pragma once

// The options file "Optionen.cfg" in the folder Kentermeer under the user's configuration
// folder: read once at start-up, written or removed once at quit.
void buildOptionsPaths();
void loadOptionsFile();
void storeOptionsFile();
