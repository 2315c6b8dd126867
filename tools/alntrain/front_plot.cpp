#include "front_plot.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "runs/aligner_names.h"
#include "runs/file_output.h"
#include "runs/job_pool.h"

namespace alntrain {

namespace {

const char* const kColours[runs::kAlignerKinds] = {"#1b9e77", "#d95f02", "#7570b3",
                                                   "#e7298a", "#66a61e", "#e6ab02",
                                                   "#a6761d", "#1f78b4", "#666666"};

// Log axis: a run can take no measurable time.
double plotSeconds(double seconds) { return std::max(seconds, 1e-3); }

// One line of front-plot.dat: seconds, 1 - Q, kind, series (0 evaluated,
// 1 front, 2 default), aligner name.
std::string point(const training::Individual& ind, int series) {
  char buffer[160];
  std::snprintf(buffer, sizeof buffer, "%.6g %.6g %d %d \"%s\"\n",
                plotSeconds(ind.fitness.objectives[2]), ind.fitness.objectives[0],
                ind.configuration.kind, series, runs::alignerName(ind.configuration.kind));
  return buffer;
}

std::string plotData(const std::vector<training::Individual>& front,
                     const std::vector<training::Individual>& evaluated) {
  std::string text = "# seconds 1-Q kind series(0 evaluated, 1 front, 2 default) aligner\n";
  for (const training::Individual& ind : evaluated)
    if (ind.fitness.failures == 0) text += point(ind, 0);
  for (const training::Individual& ind : front) text += point(ind, 1);
  for (const training::Individual& ind : evaluated)
    if (ind.configuration.options.empty()) text += point(ind, 2);
  return text;
}

bool isNonEmptyFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0;
}

}  // namespace

std::string frontPlotScript(const std::vector<training::Individual>& front,
                            const std::vector<training::Individual>& evaluated,
                            const std::string& svg, const std::string& png) {
  bool anyFeasible = false, anyDefault = false;
  for (const training::Individual& ind : evaluated) {
    anyFeasible = anyFeasible || ind.fitness.failures == 0;
    anyDefault = anyDefault || ind.configuration.options.empty();
  }
  std::string plot;
  auto add = [&](const std::string& clause) {
    plot += (plot.empty() ? "plot " : ", \\\n     ") + clause;
  };
  const std::string data = "'front-plot.dat' using 1:";
  if (anyFeasible)
    add(data + "($4 == 0 ? $2 : 1/0) with points pt 7 ps 0.5 lc rgb '#c8c8c8' title 'evaluated'");
  for (int kind = 0; kind < runs::kAlignerKinds; ++kind) {
    bool any = false;
    for (const training::Individual& ind : front) any = any || ind.configuration.kind == kind;
    if (!any) continue;
    add(data + "($4 == 1 && $3 == " + std::to_string(kind) +
        " ? $2 : 1/0) with points pt 7 ps 1.3 lc rgb '" + kColours[kind] + "' title '" +
        runs::alignerName(kind) + "'");
  }
  if (anyDefault) {
    add(data +
        "($4 == 2 ? $2 : 1/0) with points pt 6 ps 2.2 lw 1.5 lc rgb 'black' "
        "title 'defaults'");
    add(data + "($4 == 2 ? $2 : 1/0):5 with labels offset 0,1.2 font ',9' notitle");
  }
  if (plot.empty()) plot = "plot NaN notitle";
  const std::string settings =
      "set logscale x\n"
      "set xlabel 'mean seconds per run (log scale)'\n"
      "set ylabel 'mean 1 - Q (lower is better)'\n"
      "set title 'Configurations found by the search: the front in colour'\n"
      "set key outside right top\n"
      "set grid\n";
  return "set terminal svg size 960,600 dynamic font 'sans,12' background rgb 'white'\n"
         "set output '" +
         svg + "'\n" + settings + plot + "\n" +
         "set terminal pngcairo size 960,600 font 'sans,11' background rgb 'white'\n"
         "set output '" +
         png + "'\n" + "replot\n" + "unset output\n";
}

bool drawFront(const std::vector<training::Individual>& front,
               const std::vector<training::Individual>& evaluated, const std::string& folder,
               const std::string& gnuplot, int logFd, std::string* error) {
  const std::string svgTemp = "front.svg.tmp", pngTemp = "front.png.tmp";
  if (!runs::writeFileAtomically(folder + "/front-plot.dat", plotData(front, evaluated), error) ||
      !runs::writeFileAtomically(folder + "/front-plot.gp",
                                 frontPlotScript(front, evaluated, svgTemp, pngTemp), error))
    return false;
  for (const std::string& f : {svgTemp, pngTemp}) ::unlink((folder + "/" + f).c_str());
  runs::JobPoolSettings pool;
  pool.outputFd = logFd;
  pool.timeoutSeconds = 120;
  std::vector<runs::JobOutcome> outcomes;
  runs::runJobs(
      {[folder, gnuplot]() -> std::string {
        if (::chdir(folder.c_str()) != 0) ::_exit(126);
        ::execlp(gnuplot.c_str(), gnuplot.c_str(), "front-plot.gp", static_cast<char*>(nullptr));
        std::fprintf(stderr, "cannot run '%s': %s\n", gnuplot.c_str(), std::strerror(errno));
        std::fflush(stderr);
        ::_exit(127);
      }},
      pool, [](size_t, const runs::JobOutcome&) {}, &outcomes);
  const runs::JobOutcome& o = outcomes[0];
  std::string why;
  if (o.status == runs::JobStatus::kTimedOut) why = "gnuplot took over 120 s";
  if (o.status == runs::JobStatus::kInterrupted) why = "interrupted";
  if (o.status == runs::JobStatus::kFailed)
    why = o.why == "exit status 127" ? "cannot run '" + gnuplot + "' (install gnuplot-nox)"
                                     : "gnuplot failed (" + o.why + ")";
  for (const std::string& f : {svgTemp, pngTemp})
    if (why.empty() && !isNonEmptyFile(folder + "/" + f)) why = "gnuplot drew no " + f;
  if (why.empty() &&
      (std::rename((folder + "/" + svgTemp).c_str(), (folder + "/front.svg").c_str()) != 0 ||
       std::rename((folder + "/" + pngTemp).c_str(), (folder + "/front.png").c_str()) != 0))
    why = std::string("cannot rename the pictures: ") + std::strerror(errno);
  if (!why.empty()) {
    for (const std::string& f : {svgTemp, pngTemp}) ::unlink((folder + "/" + f).c_str());
    *error = "front.svg and front.png not drawn: " + why;
    return false;
  }
  return true;
}

}  // namespace alntrain
