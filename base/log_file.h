#pragma once
// Opening of the engine's fixed-name files in its private temporary folder:
// links are never followed and new files are readable by the user only.
#include <string>

// Creates or truncates the file for writing; the descriptor or -1.
int OpenPrivateFileForWriting(const std::string& path);
// Reads at most maxBytes of the file (links refused); empty when missing.
std::string ReadFileHead(const std::string& path, size_t maxBytes);
