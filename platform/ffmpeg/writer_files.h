#pragma once
// File handling of the writer: unique temporary names beside the output, so
// an existing file at the output path is replaced only by a finished merge.
#include <string>

// Creates an empty file named "<target>.XXXXXX<suffix>" in the target's
// folder (mode 0600, never an existing file) and returns its name; empty
// when the folder takes no new file.
std::string CreateSiblingTempFile(const std::string& target, const char* suffix);
// Removes the file when the name is not empty; a missing file is fine.
void RemoveFileQuiet(std::string& path);
// Gives the finished file the mode of the file it replaces (or the usual
// mode for new files under the process umask) and renames it over the
// target in one step. 0, or the errno of the failure.
int ReplaceFileWith(const std::string& finished, const std::string& target);
// True when both names reach the same existing file (links included).
bool IsSameExistingFile(const std::string& a, const std::string& b);
