#!/usr/bin/env bash
# Usage: docs_test.sh WORK_DIR MAN_DIR COMPLETION WORDLOOM [WORDLOOM_EDITOR]
#
# The help of the programs, their manual pages and the bash completion agree:
# every command and option `wordloom --help` lists (and each command's
# --help) is in the manual page and offered by the completion; the help
# texts show plain value names and point at the manual; the manual pages
# format without a warning; the editor's --help and --version need no display.
set -uo pipefail
work=$1 man_dir=$2 completion=$3 tool=$4 editor=${5:-}
rm -rf "$work" && mkdir -p "$work"
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data LC_ALL=C.UTF-8
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# The option names of a help text: "  -d,--dictionary DICT  ..." (CLI11) and
# "  -d, --dictionary <FILE>  ..." (Qt) give -d and --dictionary.
options_of() { grep -E '^  -' | sed -E 's/^  //; s/  .*//' | grep -oE -- '--?[A-Za-z?][-A-Za-z0-9]*'; }

# A manual page as plain text; groff's warnings fail the test.
man_text() {
  local page=$1 warnings
  warnings=$(groff -man -z -ww "$page" 2>&1) || fail "groff failed on $page"
  [[ -z $warnings ]] || fail "groff warns on $page: $warnings"
  MANPAGER=cat MANWIDTH=100 man -l "$page" >"$work/man.out" 2>"$work/man.err" ||
    fail "man -l $page: $(cat "$work/man.err")"
  [[ -s $work/man.out ]] || fail "man -l $page shows nothing"
  groff -man -Tutf8 "$page" 2>/dev/null | sed 's/.\x08//g; s/\xe2\x80\x90/-/g'
}

# Whether the text on stdin names the option or command $1 on its own.
names() { grep -qE -- "(^|[^-[:alnum:]])$1([^-[:alnum:]]|$)"; }

# 1. The tool's help texts.
"$tool" --help >"$work/help" || fail "wordloom --help failed"
commands=$(sed -n '/^Subcommands:/,/^$/s/^  \([a-z]*\) .*/\1/p' "$work/help")
[[ $(wc -w <<<"$commands") -ge 10 ]] || fail "wordloom --help lists too few commands: $commands"
declare -A opts
opts[tool]=$(options_of <"$work/help")
for c in $commands; do
  "$tool" "$c" --help >"$work/help-$c" || fail "wordloom $c --help failed"
  opts[$c]=$(options_of <"$work/help-$c")
done
for h in "$work"/help*; do
  if grep -nE '\bTEXT\b|\bU?INT\b|REQUIRED|Excludes|\{|docs/cli\.md' "$h"; then
    fail "$(basename "$h") shows CLI11's type texts or an uninstalled document"
  fi
  grep -q 'man wordloom' "$h" || fail "$(basename "$h") does not point at the manual"
done
grep -q -- '--fixed N .*(1 to 7)' "$work/help-learn" || fail "learn --help does not give --fixed's range"
"$tool" >"$work/bare.out" 2>"$work/bare.err"
[[ $? -eq 2 && $(grep -c . "$work/bare.err") -le 4 ]] && grep -q '^usage: wordloom' "$work/bare.err" ||
  fail "a bare wordloom does not print a short usage with status 2"

# 2. The manual page names every command and option.
text=$(man_text "$man_dir/wordloom.1")
for c in $commands; do names "$c" <<<"$text" || fail "wordloom.1 lacks the command $c"; done
for c in tool $commands; do
  for o in ${opts[$c]}; do names "$o" <<<"$text" || fail "wordloom.1 lacks the $c option $o"; done
done

# 3. The completion offers every command and each command's options.
complete_words() {  # the completions of "wordloom $*"
  bash -c 'source "$1"; shift; COMP_WORDS=(wordloom "$@"); COMP_CWORD=$(($# )); _wordloom; printf "%s\n" "${COMPREPLY[@]}"' \
    _ "$completion" "$@"
}
offered=$(complete_words "")
for c in $commands; do grep -qx "$c" <<<"$offered" || fail "completion does not offer the command $c"; done
for c in tool $commands; do
  if [[ $c == tool ]]; then offered=$(complete_words -); else offered=$(complete_words "$c" -); fi
  for o in ${opts[$c]}; do
    grep -qx -- "$o" <<<"$offered" || fail "completion does not offer the $c option $o"
  done
done
[[ $(complete_words check --ranking "") == $'likelihood\nsort-methods' ]] ||
  fail "completion does not offer the rankings"

# 4. The editor: help and version without a display, and its manual page.
if [[ -n $editor ]]; then
  no_display=(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb)
  "${no_display[@]}" "$editor" --help >"$work/editor-help" 2>"$work/editor-err" ||
    fail "wordloom-editor --help fails without a display: $(cat "$work/editor-err")"
  "${no_display[@]}" "$editor" --version | grep -qE '^wordloom-editor [0-9]' ||
    fail "wordloom-editor --version fails without a display"
  grep -q 'man wordloom-editor' "$work/editor-help" || fail "wordloom-editor --help does not point at the manual"
  text=$(man_text "$man_dir/wordloom-editor.1")
  for o in $(options_of <"$work/editor-help"); do
    names "$o" <<<"$text" || fail "wordloom-editor.1 lacks the option $o"
  done
fi

[[ $failures -eq 0 ]] && echo "docs: help, manual pages and completion agree"
exit $((failures > 0))
