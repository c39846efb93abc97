// Channel_Blocks.cpp - block names of the channel (layouts in Channel_Blocks.h).
#include "platform/Channel_Blocks.h"

namespace channel {

std::string INSTANCE_BLOCK_NAME(int instance) { return "Kornd" + std::to_string(instance); }

std::string WINDOW_BLOCK_NAME(int instance, int window) {
  return "Kornd" + std::to_string(instance) + ":" + std::to_string(window);
}

}  // namespace channel
