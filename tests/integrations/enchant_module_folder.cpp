// Test-only: lets Enchant load provider modules from a folder of the test's
// own. Debian's libenchant 2.3 looks for modules in one folder fixed at its
// build (no environment variable names another, and a copy of the library
// elsewhere looks in the same place), asking enchant_relocate for it. Preloaded
// (LD_PRELOAD), this definition answers that question with
// $WORDLOOM_TEST_ENCHANT_MODULES, so that the test installs nothing into a
// system folder; every other path comes back as it is.
#include <cstdlib>
#include <cstring>

extern "C" __attribute__((visibility("default"))) char* enchant_relocate(const char* path) {
  if (path == nullptr) return nullptr;
  const char* modules = std::getenv("WORDLOOM_TEST_ENCHANT_MODULES");
  if (modules != nullptr && std::strcmp(path, WORDLOOM_ENCHANT_SYSTEM_MODULES) == 0) {
    return strdup(modules);
  }
  return strdup(path);
}
