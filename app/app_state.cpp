#include "app/app_state.h"

namespace tolvanet {

AppState& TheAppState() {
  static AppState state;
  return state;
}

}  // namespace tolvanet
