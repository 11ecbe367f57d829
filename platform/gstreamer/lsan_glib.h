#pragma once
// Marks that GStreamer has started in this process. In sanitizer builds the
// leak checker then lets through one leak of GLib's own (see the .cpp);
// elsewhere this does nothing.
void GstMovieMarkStarted();
