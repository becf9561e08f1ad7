#include "editor/GapBuffer.h"

namespace ql {

// The two element types in use are compiled once, here.
template class BasicGapBuffer<char, std::string>;
template class BasicGapBuffer<std::int64_t>;

}  // namespace ql
