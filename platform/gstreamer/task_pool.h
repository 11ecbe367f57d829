#pragma once
// Streaming threads of the second reader's pipelines. GStreamer's default
// pool hands its threads back to GLib, which keeps idle ones around; ours
// gives every streaming task a thread of its own that is joined when the
// task stops, so a closed or refused movie leaves no thread behind.
typedef struct _GstBus GstBus;

// Makes the pipeline behind the bus run its streaming tasks on joined
// threads of their own. Call before the pipeline leaves the NULL state.
void GstMovieUseOwnThreads(GstBus* bus);
