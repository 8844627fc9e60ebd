// The library's entries as typed texts.
#include "problem/library.h"

namespace pelorin {

ProblemText problemText(const LibraryProblem& entry) {
    return {std::string(entry.name), std::string(entry.f),  std::string(entry.exact),
            std::string(entry.x0),   std::string(entry.y0), std::string(entry.x1)};
}

}  // namespace pelorin
