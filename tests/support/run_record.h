#pragma once

#include <map>
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
// holds anything else (a link, a device, an empty or read-only directory),
// or that names a path outside it, is written down as skipped, with the
// reason.
//
// The record is lines of words; every text is in hexadecimal, so that any
// byte can stand in it:
//   case <test name>            directory <session directory>
//   argument <text>             before <name> <blob>    (one a file)
//   status <n>                  stdout <blob>           after <name> <blob>
//   skipped <reason>
class RunRecord {
 public:
  // Takes the files before a run in `directory`; does nothing unless asked.
  RunRecord(std::string directory, const std::vector<std::string>& arguments);
  // Writes the record down with what the run did: `status` is the exit
  // status the session runner has checked.
  void Finish(int status, const std::string& output);

 private:
  struct Files {
    std::map<std::string, std::string> contents;  // by name relative to the directory
    std::string unusable;                         // why the page cannot hold them
  };
  Files Take() const;

  std::string record_directory_;
  std::string directory_;
  std::vector<std::string> arguments_;
  Files before_;
};

}  // namespace kv5::testing
