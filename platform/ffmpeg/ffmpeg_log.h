#pragma once
// Routes FFmpeg's (and its encoders') messages into the session log instead
// of the terminal: warnings and errors are kept, chatter is dropped.
void FfmpegLogInstall();
