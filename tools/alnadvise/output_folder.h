// The user's output folder and the files the advisor writes there.
#ifndef ALNADVISE_OUTPUT_FOLDER_H
#define ALNADVISE_OUTPUT_FOLDER_H

#include <string>
#include <vector>

namespace alnadvise {

// The files and folders the advisor owns in an output folder.
extern const std::vector<std::string> kOwnedOutputs;

// "<base name without its last extension>.advise", e.g. "BB11001.advise"
// for "/data/BB11001.tfa".
std::string defaultOutputFolder(const std::string& dataSetPath);

// Creates the folder (with its parents) when missing. An existing folder
// that is not empty is refused unless force, which removes the owned
// outputs only. Then probes that a file can be created there. Fails with
// one line in *error; nothing is written then.
bool prepareOutputFolder(const std::string& folder, bool force, std::string* error);

}  // namespace alnadvise

#endif
