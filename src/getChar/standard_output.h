// Standard output of the process: the count lines written straight to the
// file descriptor, and the check at the end that nothing written was lost.
#ifndef GETCHAR_STANDARD_OUTPUT_H
#define GETCHAR_STANDARD_OUTPUT_H

#include <string_view>

// The exit status of a run whose standard output could not be written.
const int kStandardOutputFailedStatus = 3;

// Writes `data` to standard output at once, bypassing stream buffers. A
// failure is remembered for exitChecked.
void writeStdoutNow(std::string_view data);

// Ends the process with `status`, after flushing standard output; when any
// output was lost (a full disk, /dev/full, a closed descriptor), writes one
// line on standard error and ends with kStandardOutputFailedStatus instead.
[[noreturn]] void exitChecked(int status);

#endif
