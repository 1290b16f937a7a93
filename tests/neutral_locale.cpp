// The programs a test starts speak the original texts whatever the machine's locale: the
// test's process sets the locale variables before any test runs, and its children inherit them.
#include <cstdlib>

namespace {

const bool kNeutral = [] {
  unsetenv("LANGUAGE");
  unsetenv("LC_MESSAGES");
  setenv("LC_ALL", "C.UTF-8", 1);
  return true;
}();

}  // namespace
