// The whole headless API of Wordloom: the platform layer, the error and
// random-source base classes, and the dictionary core.
#pragma once

#include "wordloom/platform/platform.h"
#include "wordloom/randomobject/random_object.h"
#include "wordloom/dictionary/byte_string.h"
