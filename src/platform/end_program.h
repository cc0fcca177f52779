#pragma once

namespace vorarid {

// Ends the program at once: every window disappears and the event loop
// returns with exit code 0, so no further handler runs.
void endProgram();

}  // namespace vorarid
