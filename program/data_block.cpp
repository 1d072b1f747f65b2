#include "program/data_block.h"

namespace zelk::program {

alignas(16) std::uint8_t dataBlock[kDataBlockSize] = {};

}  // namespace zelk::program
