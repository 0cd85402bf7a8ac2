// Where the editor finds the dictionary it starts with.
#pragma once

#include <QString>

namespace wordloom::editor {

// The dictionary to open when none is given on the command line: the file
// named by WORDLOOM_DICT, else the default English dictionary "en.spl" next
// to the program, in the command-line tool's folder of the same build tree
// (build/<preset>/cli/en.spl), in ../share/wordloom beside the installed
// program, or where `cmake --install` put it. Empty when there is none.
QString FindDefaultDictionary();

}  // namespace wordloom::editor
