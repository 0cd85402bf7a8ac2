#!/usr/bin/env bash
# Emacs's ispell and flyspell with integrations/emacs/wordloom.el over UTF-8
# text with accented words and a typographic apostrophe:
#   tests/emacs/emacs_test.sh WORDLOOM
# Exactly the two misspellings are flagged, ispell-region replaces exactly
# them, and the file's other bytes stay as they were. Skipped (77) without emacs.
set -uo pipefail

command -v emacs >/dev/null || { echo "emacs is not installed: skipped"; exit 77; }
wordloom=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The user's folders are the test's own (Emacs runs the tool from $HOME).
mkdir -p "$work/home"
export HOME="$work/home" XDG_DATA_HOME="$work/home/data" XDG_CACHE_HOME="$work/home/cache"
unset WORDLOOM_PATH WORDLOOM_DICT DICPATH

printf 'The naïve café sentense: don’t mispeled it, O’Brien.\nCrème brûlée and a résumé—fine…\n' >"$work/text.txt"
printf 'The naïve café sentence: don’t misspelled it, O’Brien.\nCrème brûlée and a résumé—fine…\n' >"$work/expected.txt"
printf 'The colour of the centre.\nThe color of the center.\n' >"$work/names.txt"

timeout 120 emacs -Q --batch -l "$here/check.el" "$wordloom" "$here/../../integrations/emacs" \
  "$work/text.txt" "$work/expected.txt" "$work/names.txt" >"$work/out.txt" 2>"$work/err.txt"
status=$?
cat "$work/out.txt"
if [[ $status -ne 0 ]] || grep -q '^FAIL' "$work/out.txt" || [[ $(grep -c '^ok' "$work/out.txt") -ne 8 ]]; then
  echo "emacs exited $status; its messages:" >&2
  grep -v '^Starting new Ispell' "$work/err.txt" >&2
  exit 1
fi
cmp -s "$work/text.txt" "$work/expected.txt" || { echo "the text is not as expected" >&2; exit 1; }
[[ $(cat "$XDG_DATA_HOME/wordloom/personal/en_US.txt") == Wordloomish ]] ||
  { echo "ispell's saved word is not in the personal word list" >&2; exit 1; }
echo "all Emacs checks passed"
