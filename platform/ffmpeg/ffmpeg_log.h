#pragma once
// Routes FFmpeg's (and its encoders') messages into the session log instead
// of the terminal: warnings and errors are kept, chatter is dropped.
#include <string>

void FfmpegLogInstall();
// FFmpeg's words for one of its error codes ("File too large").
std::string AvErrorText(int code);
