// The password protection of spell files: the keyed exponentiation and the
// stream cipher built on it.
#pragma once

#include "wordloom/weaksecurity/discrete_integer.h"
#include "wordloom/weaksecurity/weak_cipher.h"
