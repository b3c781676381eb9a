// Reading a run log written by several runs at once: each run appends its pieces one write
// each, so the log is cut back into those pieces to show that none was lost or torn.
#include <map>

#include "tests/e2e/rig/wine_rig.h"

namespace rig {

std::map<Bytes, int> CountPieces(const Bytes& log, const std::vector<Bytes>& pieces, Bytes& rest) {
  std::map<Bytes, int> counts;
  size_t at = 0;
  while (at < log.size()) {
    const Bytes* match = nullptr;
    for (const Bytes& piece : pieces) {
      if (log.compare(at, piece.size(), piece) == 0 &&
          (match == nullptr || piece.size() > match->size())) {
        match = &piece;
      }
    }
    if (match == nullptr) {
      rest += log[at++];
      continue;
    }
    ++counts[*match];
    at += match->size();
  }
  return counts;
}

}  // namespace rig
