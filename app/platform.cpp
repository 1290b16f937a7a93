#include "app/platform.h"

namespace tolvanet {

namespace {
SilentPlatform silent;
Platform* current = &silent;
}  // namespace

Platform& ThePlatform() {
  return *current;
}
void SetPlatform(Platform* platform) {
  current = platform != nullptr ? platform : &silent;
}

}  // namespace tolvanet
