#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kv5::testing {

// Writes down the runs of the tool, for the page's differential test, when
// the environment variable KV5SAVE_RECORD_RUNS names a directory: each run
// as a file "runs/<process>-<n>" there, with its arguments, the files of the
// session's directory before it, its exit status, what it printed and the
// files after it. Contents go into "blobs/", one file for each content, so
// that a save many runs share is written once. The page can only hold
// regular files in directories that are not empty, so a run whose directory
// holds anything else (a link, a device, an empty directory), or that names
// a path outside it, is written down as skipped, with the reason.
//
// The record is lines of words; every text is in hexadecimal, so that any
// byte can stand in it:
//   case <test name>            directory <session directory>
//   argument <text>             before <name> <blob>    (one a file)
//   status <n>                  stdout <blob>           after <name> <blob>
//   skipped <reason>
//
// Runs `run`, which runs the tool with `arguments` in `directory` and
// returns what it printed, and writes the run down when asked; `status` is
// the exit status the caller checked.
std::string RecordedRun(const std::string& directory, const std::vector<std::string>& arguments,
                        int status, const std::function<std::string()>& run);

}  // namespace kv5::testing
