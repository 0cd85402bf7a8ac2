// The platform layer: object model, exceptions, sets, streams, string lists,
// form files, application services, memo and wiping.
#pragma once

#include "wordloom/platform/application_services.h"
#include "wordloom/platform/coding.h"
#include "wordloom/platform/component.h"
#include "wordloom/platform/enum_set.h"
#include "wordloom/platform/exceptions.h"
#include "wordloom/platform/form_file.h"
#include "wordloom/platform/memo.h"
#include "wordloom/platform/object.h"
#include "wordloom/platform/persistent.h"
#include "wordloom/platform/random.h"
#include "wordloom/platform/scripted_services.h"
#include "wordloom/platform/stream.h"
#include "wordloom/platform/string_list.h"
#include "wordloom/platform/wipe.h"
