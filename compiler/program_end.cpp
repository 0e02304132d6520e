// END; closes the program. It emits nothing: the end marker is the 0xFF that the image
// already holds behind the last instruction, counted in once the run succeeds.

#include "compiler/handlers.h"

namespace kivra::compiler {

void HandleEnd(Run& run, std::string_view) {
  // The debugger shows the END line when the driver stops on the end marker.
  if (run.NoErrorSoFar()) run.code.MarkLine(run.code.Length(), run.line);
}

}  // namespace kivra::compiler
