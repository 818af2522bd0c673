#pragma once

// The options file "Optionen.cfg" in the folder Kentermeer under the user's configuration
// folder ($XDG_CONFIG_HOME or ~/.config; the application-data folder on Windows): read once
// at start-up, written or removed once at quit. Failures are silent; with no configuration
// folder known, nothing is read or written.

// Works out the folder and the file once; later changes of the environment do not move them.
void buildOptionsPaths();
// Replaces the settings with those of the file, if there is one.
void loadOptionsFile();
// With saving on, writes the file (whole or not at all where it can, where a link of the
// user's own in its place points, and only over a file that may be written); with saving
// off, removes the file (a link as a link) and the program's leftovers, then the folder if
// nothing else is in it.
void storeOptionsFile();
