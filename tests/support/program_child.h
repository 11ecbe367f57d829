#pragma once
// The real program started as a child process in folders of its own (home,
// TMPDIR and runtime folder), drawing offscreen, its output in a file.
#include <sys/types.h>

#include <string>
#include <vector>

// The application beside the test programs' folder; empty when not built.
std::string ProgramPath();
// Starts it with the arguments; the child's pid, or -1. Its output goes to
// the named file in tmp.
pid_t StartProgram(const std::vector<std::string>& args, const std::string& home, const std::string& tmp,
                   const std::string& output = "child-output.txt");
// Runs one test of this same test program as a child, in the same folders;
// the test finds tmp in QV_CHILD_TEST_TMPDIR (its framework gives it a
// TMPDIR of its own) and is skipped where that is not set.
pid_t StartTestInChild(const std::string& test, const std::string& home, const std::string& tmp,
                       const std::string& output);
inline constexpr const char* kChildTestTmpDir = "QV_CHILD_TEST_TMPDIR";
// The wait status, or -1 when the child had to be killed after the time-out.
int WaitChild(pid_t child, int seconds);
// The session log the child writes (its engine folder inside tmp).
std::string ProgramSessionLog(const std::string& tmp);
// Waits until the text appears in the child's session log.
bool WaitForProgramLog(const std::string& tmp, const std::string& text, int seconds);
