// Writing several outputs of one run all or nothing, each file by the steps
// of safe_write.h: every file is written to its temporary file and synced,
// and only when all are complete do they take their places. Standard output
// ("-", or a name that leads to it such as /dev/stdout) is written after the
// files are synced and before they are renamed.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "files/safe_write.h"

namespace files {

// The name that stands for standard output.
inline constexpr const char* StandardOutputName = "-";

struct Output {
    std::string Label;  // how messages name it (an option such as "--pdf"); may be empty
    std::string Path;   // as given; StandardOutputName for standard output
};

class OutputGroup {
  public:
    OutputGroup();
    ~OutputGroup();
    OutputGroup(const OutputGroup&) = delete;
    OutputGroup& operator=(const OutputGroup&) = delete;

    // Checks, before the work starts, that every output can be written and
    // that no two of them, nor one of them and one of `inputs` (files the
    // run reads), are one file: names are compared by the folder they lead
    // to and the name there, and existing files also by device and inode.
    // A name that leads to standard output itself (/dev/stdout, or the very
    // file or pipe it goes to) is written as standard output, and only one
    // output may go there. Nothing is opened for writing, and nothing is
    // created but a temporary file tried and removed at once. "" or one line
    // saying what is wrong, every name in it shown on that line. The files found here are the ones Write replaces: a
    // name that leads elsewhere by then is not written.
    [[nodiscard]] std::string Prepare(const std::vector<Output>& outputs, const std::vector<Output>& inputs = {});

    // Writes output i with contents[i] (one for each output, in the order
    // given to Prepare). The usual signals that end a program (SIGINT,
    // SIGTERM, SIGHUP, SIGQUIT) are held back while temporary files exist;
    // one that arrives meanwhile, unless the program ignores it, stops the
    // writing with every temporary file removed, and the program then ends
    // as the signal says. Standard output, which may stall (a pipe nobody
    // reads), is written by a thread of its own meanwhile, so that such a
    // signal still ends the program within a tenth of a second. "" when all are written; otherwise one line saying
    // what failed, with no file created or changed (only a failing rename,
    // once every file is complete, leaves the files renamed before it).
    [[nodiscard]] std::string Write(const std::vector<ContentsWriter>& contents);

  private:
    struct Entry {
        Output Named;
        std::unique_ptr<FileReplacement> File;  // null for standard output
    };
    std::vector<Entry> Entries;
};

// One line saying why `path` (named by `label`) was not written.
[[nodiscard]] std::string ProblemText(const std::string& label, const std::string& path, WriteProblem problem,
                                      int error);

}  // namespace files
