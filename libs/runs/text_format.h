// Numbers as the programs' reports write them.
#ifndef RUNS_TEXT_FORMAT_H
#define RUNS_TEXT_FORMAT_H

#include <string>

namespace runs {

// printf's "%.<decimals>f": fixed(0.5, 3) is "0.500".
std::string fixed(double value, int decimals);

}  // namespace runs

#endif
