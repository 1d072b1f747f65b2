#include "data_block.h"

namespace zelk::app {

alignas(16) std::uint8_t dataBlock[2540] = {};

}  // namespace zelk::app
