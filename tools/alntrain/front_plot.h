// front.svg and front.png: the front drawn by gnuplot, mean 1 - Q against
// mean seconds on a log axis, one colour per aligner, every configuration
// the search evaluated in grey behind it, and the five defaults marked.
// The data and the script stay beside the pictures (front-plot.dat,
// front-plot.gp), so a user can redraw them.
#ifndef ALNTRAIN_FRONT_PLOT_H
#define ALNTRAIN_FRONT_PLOT_H

#include <string>
#include <vector>

#include "training/search.h"

namespace alntrain {

// The gnuplot script drawing into the two named files (names relative to
// the folder it runs in).
std::string frontPlotScript(const std::vector<training::Individual>& front,
                            const std::vector<training::Individual>& evaluated,
                            const std::string& svg, const std::string& png);

// Writes the data and script into folder and runs gnuplot there (through
// the job pool; its messages go to logFd). The pictures are drawn under
// temporary names and renamed when both exist and are not empty. Fails with
// *error naming the cause: gnuplot missing or failing, a picture not drawn.
bool drawFront(const std::vector<training::Individual>& front,
               const std::vector<training::Individual>& evaluated, const std::string& folder,
               const std::string& gnuplot, int logFd, std::string* error);

}  // namespace alntrain

#endif
