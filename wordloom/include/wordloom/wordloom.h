// The whole headless API of Wordloom: the platform layer, the error and
// random-source base classes, and the dictionary core.
#pragma once

#include "wordloom/platform/platform.h"
#include "wordloom/randomobject/random_object.h"
#include "wordloom/weaksecurity/weaksecurity.h"
#include "wordloom/dictionary/byte_string.h"
#include "wordloom/dictionary/format_char.h"
#include "wordloom/dictionary/options.h"
#include "wordloom/dictionary/spell_node.h"
#include "wordloom/dictionary/velk_wordloom.h"
#include "wordloom/storage/spell_width.h"
#include "wordloom/checking/spell_dialogs.h"
#include "wordloom/checking/velk_spell_checker.h"
#include "wordloom/checking/spelling_rules.h"
#include "wordloom/checking/prose_check.h"
#include "wordloom/text/text_words.h"
#include "wordloom/text/markup.h"
#include "wordloom/text/text_pieces.h"
#include "wordloom/text/unicode_case.h"
#include "wordloom/text/unicode_words.h"
