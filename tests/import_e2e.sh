#!/usr/bin/env bash
# End-to-end tests of `wordloom import` and of what the tool says when it is
# given a Hunspell dictionary where a spell file is expected; also that learn
# and count keep UTF-8 words whole by default.
#   tests/import_e2e.sh WORDLOOM
set -uo pipefail

wordloom=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
export HOME="$work/home" XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache" XDG_CONFIG_HOME="$work/config"
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
run() {  # run STATUS CMD...: out.txt, err.txt, and the exit status checked
  local want=$1
  shift
  "$@" >out.txt 2>err.txt
  local got=$?
  [[ $got -eq $want ]] || fail "$* exited $got, expected $want; stderr: $(cat err.txt)"
}

printf 'SET ISO8859-1\nSFX S Y 1\nSFX S 0 s .\nPFX U Y 1\nPFX U 0 un .\n' >tiny.aff
printf '2\ndo/SU\ncaf\xe9/S\n' >tiny.dic
printf 'undo caf\xc3\xa9s dos undos\nundoo\n' >text.txt

# ---- import ----
run 0 "$wordloom" import tiny.dic -o tiny.spl
grep -q 'tiny.spl: 6 words from 2 entries' err.txt || fail "import report: $(cat err.txt)"
run 1 "$wordloom" check -d tiny.spl text.txt
[[ $(cut -d: -f1-4 out.txt) == 'text.txt:2:1: undoo' ]] || fail "check with the import: $(cat out.txt)"
run 0 "$wordloom" import tiny.aff tiny.dic -o again.spl
cmp -s tiny.spl again.spl || fail "the .aff and the .dic given both made another file"
printf 'SFX S Y 9\nSFX S 0 s .\n' >broken.aff
cp tiny.dic broken.dic
cp tiny.spl before.spl
run 2 "$wordloom" import broken.dic -o tiny.spl
grep -q '^wordloom: broken.aff:1: affix class S has fewer than the 9 entries' err.txt ||
  fail "a corrupt .aff: $(cat err.txt)"
cmp -s tiny.spl before.spl || fail "a failed import changed the spell file"
run 2 "$wordloom" import notes.txt -o x.spl
grep -q 'expected a Hunspell .aff or .dic' err.txt || fail "import of a text file: $(cat err.txt)"

# ---- a Hunspell dictionary where a spell file is expected ----
for given in tiny.dic tiny.aff; do
  run 2 "$wordloom" check -d "$given" text.txt
  [[ $(wc -l <err.txt) -eq 1 ]] || fail "-d $given: not one line: $(cat err.txt)"
  grep -qF "wordloom: $given: a Hunspell dictionary, not a spell file; import it with: wordloom import $given -o tiny.spl" err.txt ||
    fail "-d $given: $(cat err.txt)"
done

# ---- UTF-8 by default ----
printf '\xc3\x9cbung \xc3\xa9t\xc3\xa9 \xd0\xb4\xd0\xbe\xd0\xbc\n' >utf8.txt
run 0 "$wordloom" count utf8.txt
[[ $(cut -f1 out.txt | tr '\n' ' ') == $'\xc3\x9cbung \xc3\xa9t\xc3\xa9 \xd0\xb4\xd0\xbe\xd0\xbc ' ]] ||
  fail "count split UTF-8 words: $(cat out.txt)"
run 0 "$wordloom" count --bytes utf8.txt
grep -qx $'\xd0\xb4\xd0\xbe\xd0\xbc\t1' out.txt && fail "count --bytes kept a Cyrillic word whole"
run 0 "$wordloom" learn utf8.txt -o u.spl
run 0 "$wordloom" list -d u.spl
grep -qx $'\xd0\xb4\xd0\xbe\xd0\xbc' out.txt || fail "learn split a UTF-8 word: $(cat out.txt)"

if ((failures > 0)); then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "all import end-to-end checks passed"
