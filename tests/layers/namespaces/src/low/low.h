#pragma once

namespace zrk::high {
class Tower;
}

namespace zrk::low {
int depth();
}  // namespace zrk::low

namespace zrk::high {
int height();
}  // namespace zrk::high
