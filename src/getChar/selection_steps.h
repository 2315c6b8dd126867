// The selection steps that end the three-argument mode.
#ifndef GETCHAR_SELECTION_STEPS_H
#define GETCHAR_SELECTION_STEPS_H

// Loads the option file, normalises the feature table and finds the nearest
// reference of each feature group. Prints nothing.
void runSelectionSteps(char* optionFile);

#endif
