#!/usr/bin/env bash
# The Enchant provider through the real enchant-2 program and python3-enchant,
# with an ordering file that puts it first for English. Everything lives in a
# folder of the test's own: Enchant's configuration (ENCHANT_CONFIG_DIR, where
# it keeps personal lists), HOME and the XDG folders, and the module folder,
# which a preloaded enchant_relocate points Enchant at.
#
# Usage: enchant_test.sh MODULE RELOCATE_SHIM DICTIONARIES WORDLOOM PYTHON_TEST SYSTEM_MODULES [PRELOAD]
# DICTIONARIES is the folder of the build's en_US.spl and en_GB.spl.
set -euo pipefail

module=$1 shim=$2 dictionaries=$3 wordloom=$4 python_test=$5 system_modules=$6
preload=${7:-}

if ! command -v enchant-2 >/dev/null; then
  echo "SKIP: enchant-2 is not installed (Debian: enchant-2; scripts/setup installs it)"
  exit 77
fi
python=/usr/bin/python3
if ! "$python" -c 'import enchant' 2>/dev/null; then
  echo "SKIP: python3-enchant is not installed (scripts/setup installs it)"
  exit 77
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/wordloom-enchant-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work"/{modules,config,dictionaries,home,data,xdg-config,cache}
ln -s "$module" "$work/modules/"
# Hunspell's provider beside ours, when installed, so that the ordering file
# is what picks the provider.
if [[ -e $system_modules/enchant_hunspell.so ]]; then
  ln -s "$system_modules/enchant_hunspell.so" "$work/modules/"
fi
ln -s "$dictionaries/en_US.spl" "$dictionaries/en_GB.spl" "$work/dictionaries/"
dictionary=$dictionaries/en_US.spl
printf 'en:wordloom,hunspell\nen_US:wordloom,hunspell\nen_GB:wordloom,hunspell\n' \
  >"$work/config/enchant.ordering"

export HOME=$work/home XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/xdg-config \
  XDG_CACHE_HOME=$work/cache ENCHANT_CONFIG_DIR=$work/config \
  WORDLOOM_PATH=$work/dictionaries WORDLOOM_TEST_ENCHANT_MODULES=$work/modules
unset WORDLOOM_DICT
# A sanitizer build's module needs the sanitizer's runtime first in the process.
export LD_PRELOAD="${preload:+$preload }$shim"
export ASAN_OPTIONS=detect_leaks=0

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The provider is loaded and offers the dictionary by its language.
enchant-lsmod-2 -list-dicts >"$work/dicts.out"
grep -qx 'en_GB (wordloom)' "$work/dicts.out" || fail "enchant-lsmod-2 -list-dicts: $(cat "$work/dicts.out")"

# Known words, misspellings, case, a typographic apostrophe and a contraction.
cat >"$work/text.txt" <<'TEXT'
The quick brwon fox recieves a letter.
It doesn’t matter to PARIS or paris, Teh end.
An e-mail costs two dollars; “dosn’t” we say.
TEXT

# -l lists the misspellings, in order.
enchant-2 -l -d en_US <"$work/text.txt" >"$work/list.out"
printf 'brwon\nrecieves\nparis\nTeh\ndosn’t\n' | diff -u - "$work/list.out" || fail "enchant-2 -l"

# -a gives the tool's own answers: the same words wrong, the same corrections
# in the same order and case (the header and Enchant's closing blank line
# aside). The text holds no number and no URL: those the tool leaves out,
# while enchant-2 cuts them into words of its own before asking the provider.
enchant-2 -a -d en_US <"$work/text.txt" | sed -e 1d -e '${/^$/d}' >"$work/enchant.out"
LD_PRELOAD= "$wordloom" -a -d "$dictionary" <"$work/text.txt" | sed 1d >"$work/tool.out"
diff -u "$work/tool.out" "$work/enchant.out" || fail "enchant-2 -a differs from wordloom -a"
grep -q '^& recieves [0-9]* 20: receives, ' "$work/enchant.out" || fail "recieves: receives is not first"
grep -q '^& dosn’t [0-9]* [0-9]*: doesn’t, ' "$work/enchant.out" || fail "dosn’t: doesn’t is not first"

# A word added to the personal list is known from then on, also in the next
# process; Enchant keeps the list in its configuration folder.
printf 'Wordloomy\n*Wordloomy\nWordloomy WORDLOOMY\n' | enchant-2 -a -d en_US | sed 1d >"$work/add.out"
[[ $(sed -n 1p "$work/add.out") == "& Wordloomy "* ]] || fail "Wordloomy known before it was added"
[[ $(sed -n '3,4p' "$work/add.out") == $'*\n*' ]] || fail "after *Wordloomy: $(cat "$work/add.out")"
[[ $(echo Wordloomy | enchant-2 -a -d en_US | sed -n 2p) == '*' ]] || fail "Wordloomy forgotten"
grep -qx Wordloomy "$work/config/en_US.dic" || fail "Wordloomy not in Enchant's personal list"

# A language without a dictionary.
if enchant-2 -a -d xx_YY <"$work/text.txt" >"$work/none.out" 2>&1; then
  fail "enchant-2 -d xx_YY succeeded"
fi
grep -q "xx_YY" "$work/none.out" || fail "enchant-2 -d xx_YY: $(cat "$work/none.out")"

# The same through python3-enchant.
PYTHONDONTWRITEBYTECODE=1 "$python" "$python_test" "$wordloom" "$dictionary" || fail "python3-enchant"

# Nothing outside the test's folder: Enchant wrote only into its own.
leaked=$(find "$work/home" "$work/data" "$work/xdg-config" -type f | head -5)
[[ -z $leaked ]] || fail "files written outside Enchant's configuration folder: $leaked"

if ((failures > 0)); then
  echo "$failures failure(s)"
  exit 1
fi
echo "enchant: all checks passed"
