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
// The wait status, or -1 when the child had to be killed after the time-out.
int WaitChild(pid_t child, int seconds);
// The session log the child writes (its engine folder inside tmp).
std::string ProgramSessionLog(const std::string& tmp);
// Waits until the text appears in the child's session log.
bool WaitForProgramLog(const std::string& tmp, const std::string& text, int seconds);
