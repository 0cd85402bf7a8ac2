// The palette entry of the components.
#include "wordloom/checking/velk_spell_checker.h"
#include "wordloom/dictionary/velk_wordloom.h"

namespace wordloom {

void Register() {
  RegisterComponents("Velk", {ComponentClass::Of<TVelkWordloom>(),
                              ComponentClass::Of<TVelkSpellChecker>()});
}

}  // namespace wordloom
