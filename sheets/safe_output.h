// Writing a sheet's outputs all or nothing. Each file goes first to a
// temporary file in its target's own directory, is synced to disk, and only
// when every output has been written so are the temporary files renamed over
// their targets: a failed or interrupted run leaves every target as it was.
#pragma once

#include <string>
#include <vector>

namespace sheets {

struct Output {
    std::string Option;  // the option that named it ("--pdf"), for messages
    std::string Path;    // as given; "-" for standard output
    std::string Bytes;   // the whole content
};

// Checks, before the work starts, that every named output can be written:
// the target is a regular file the user may write, or does not exist yet in
// a directory the user may create files in (a link counts as the file it
// leads to), and no two outputs are the same file. Nothing is opened or
// created. Returns "" or one line saying what is wrong.
std::string CheckOutputs(const std::vector<Output>& outputs);

// Writes every output: the files through temporary files as above, standard
// output directly, after the files are synced and before they are renamed.
// An existing target keeps its permission bits and owner. The usual signals
// that end a program are held back while temporary files exist; one that
// arrived meanwhile removes them, and the program then ends as the signal
// says. Returns "" when all are written; otherwise one line saying what
// failed, with no target created or changed (only a failing rename, once
// every file is written and synced, leaves the targets renamed before it).
std::string WriteOutputs(const std::vector<Output>& outputs);

}  // namespace sheets
