#include "getChar/selection_steps.h"

#include "getChar.h"

void runSelectionSteps(char* optionFile) {
  readOptionFile(optionFile);
  normalizeData();
  getNearestReference();
}
