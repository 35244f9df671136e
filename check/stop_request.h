#pragma once
// Ctrl+C (and, on Linux, SIGTERM) asks a running watch to stop; it then ends normally.

// From now on a Ctrl+C sets the request instead of ending the process.
void CatchStopRequest();
bool StopRequested();
