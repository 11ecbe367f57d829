#pragma once
// The real program started as a child process in folders of its own (home,
// TMPDIR and runtime folder), drawing offscreen, its output in a file.
#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

// Variables a child gets on top of its own folders, e.g. another display.
using ChildEnvironment = std::vector<std::pair<std::string, std::string>>;

// The application beside the test programs' folder; empty when not built.
std::string ProgramPath();
// Starts it with the arguments; the child's pid, or -1. Its output goes to
// the named file in tmp.
pid_t StartProgram(const std::vector<std::string>& args, const std::string& home, const std::string& tmp,
                   const std::string& output = "child-output.txt", const ChildEnvironment& extra = {});
// Runs one test of this same test program as a child, in the same folders;
// the test finds tmp in QV_CHILD_TEST_TMPDIR (its framework gives it a
// TMPDIR of its own) and is skipped where that is not set.
pid_t StartTestInChild(const std::string& test, const std::string& home, const std::string& tmp,
                       const std::string& output);
inline constexpr const char* kChildTestTmpDir = "QV_CHILD_TEST_TMPDIR";
// Any program, with the test's environment and the extra variables (the
// test's own environment stays as it is); output to the named file.
pid_t StartChild(const std::string& program, const std::vector<std::string>& args, const ChildEnvironment& extra,
                 const std::string& output);
// The wait status, or -1 when the child had to be killed after the time-out.
int WaitChild(pid_t child, int seconds);
// The session log the child writes (its engine folder inside tmp).
std::string ProgramSessionLog(const std::string& tmp);
// Waits until the text appears in the child's session log.
bool WaitForProgramLog(const std::string& tmp, const std::string& text, int seconds);
