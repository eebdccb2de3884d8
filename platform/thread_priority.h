#pragma once

// Lowers the calling thread's scheduling priority below that of the GUI thread, so that work
// on it (the live web server) yields the processor to timing. Linux: a nice value of 10 for
// this thread only. False when the system refuses; the thread then runs as before.
bool lowerCurrentThreadPriority();
