#!/usr/bin/env bash
# End-to-end tests of the wordloom tool on small fixture files:
#   tests/cli_e2e.sh WORDLOOM DEFAULT_DICTIONARY
# Each check prints what it expected when it fails; the script exits 1 if any did.
set -uo pipefail

wordloom=$(realpath "$1")
default_dict=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
# The read commands keep compact forms in the user's cache: one of the test's own.
export XDG_CACHE_HOME="$work/cache"
# The tool's own temporary files (standard input copied to a file) go here too.
export TMPDIR=$work
failures=0
# The user's folders are the test's own: personal lists and imports land here.
export HOME="$work/home" XDG_DATA_HOME="$work/home/data" XDG_CACHE_HOME="$work/home/cache"
unset WORDLOOM_PATH WORDLOOM_DICT DICPATH

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# run STATUS CMD...: runs CMD, keeps stdout in out.txt and stderr in err.txt,
# and checks the exit status.
run() {
  local want=$1
  shift
  "$@" >out.txt 2>err.txt
  local got=$?
  if [[ $got -ne $want ]]; then
    fail "$* exited $got, expected $want; stderr: $(cat err.txt)"
  fi
}

expect_out() {  # expect_out LINE: out.txt has exactly this line
  grep -qxF -- "$1" out.txt || fail "expected line '$1' in output: $(cat out.txt)"
}
expect_err() {  # expect_err TEXT: err.txt is one line starting "wordloom: " and holds TEXT
  [[ $(wc -l <err.txt) -eq 1 ]] || fail "expected one line on stderr, got: $(cat err.txt)"
  grep -q '^wordloom: ' err.txt || fail "stderr does not start with 'wordloom: ': $(cat err.txt)"
  grep -qF -- "$1" err.txt || fail "expected '$1' on stderr: $(cat err.txt)"
}

printf 'the quick brown fox jumps over the lazy dog\nthe dog sleeps and the fox runs\n' >corpus.txt
printf 'the quick brown fox\nthe lazy dgo sleeps\n' >good.txt
printf 'the quick brwn fox\n  a lazy dgo\n' >bad.txt

# ---- learn, check, suggest ----
run 0 "$wordloom" learn corpus.txt -o d.spl
[[ -s d.spl ]] || fail "learn wrote no dictionary"
run 0 "$wordloom" info d.spl
expect_out "words:               11"
expect_out "total frequency:     16"
expect_out "protected:           no"
expect_out "delimiter after word: excluded"

run 1 "$wordloom" check -d d.spl bad.txt
grep -q '^bad.txt:1:11: brwn: brown' out.txt || fail "brwn not reported with brown first: $(cat out.txt)"
grep -q '^bad.txt:2:3: a' out.txt || fail "a not reported: $(cat out.txt)"
grep -q '^bad.txt:2:10: dgo: dog' out.txt || fail "dgo not reported with dog first: $(cat out.txt)"
[[ $(wc -l <out.txt) -eq 3 ]] || fail "check reported other words: $(cat out.txt)"

printf 'the quick brown fox\n' >clean.txt
run 0 "$wordloom" check -d d.spl clean.txt
[[ ! -s out.txt ]] || fail "check of a clean file printed: $(cat out.txt)"

printf "The QUICK 'brown' Fox\n" >cased.txt
run 0 "$wordloom" check -d d.spl cased.txt
run 1 "$wordloom" check -d d.spl --case-sensitive cased.txt
grep -q '^cased.txt:1:1: The: the' out.txt || fail "The not reported: $(cat out.txt)"
grep -qx 'cased.txt:1:5: QUICK: quick' out.txt || fail "QUICK not reported: $(cat out.txt)"

run 1 "$wordloom" suggest -d d.spl brwn fox
grep -q '^brwn: brown' out.txt || fail "suggest brwn: $(cat out.txt)"
expect_out "fox: (correct)"
# The read commands keep a compact form of the dictionary in the user's
# cache, and answer the same through it.
forms() { find "$XDG_CACHE_HOME/wordloom/compact" -name '*.compact' 2>/dev/null | wc -l; }
[[ $(forms) -eq 1 ]] || fail "suggest made $(forms) compact forms, expected 1"
cp out.txt first.txt
run 1 "$wordloom" suggest -d d.spl brwn fox
cmp -s out.txt first.txt || fail "suggest through the compact form gave: $(cat out.txt)"
[[ $(forms) -eq 1 ]] || fail "a second suggest made another compact form"
run 0 "$wordloom" suggest -d d.spl fox
run 1 "$wordloom" suggest -d d.spl Fxo
grep -q '^Fxo: Fox' out.txt || fail "suggest Fxo: $(cat out.txt)"
run 1 "$wordloom" suggest -d d.spl --max-suggestions 1 FXO
expect_out "FXO: FOX"

# learning more text extends the dictionary; counts add frequencies
printf 'zebra\n' >more.txt
run 0 "$wordloom" learn more.txt -o d.spl
run 0 "$wordloom" info d.spl
expect_out "words:               12"
printf 'zebra\t5\nyak\t2\n' >counts.tsv
run 0 "$wordloom" learn --counts counts.tsv -o d.spl
run 0 "$wordloom" info d.spl
expect_out "words:               13"
expect_out "total frequency:     24"
printf 'zebra\tmany\n' >badcounts.tsv
cp d.spl before.spl
run 2 "$wordloom" learn --counts badcounts.tsv -o d.spl
expect_err "badcounts.tsv:1:"
cmp -s d.spl before.spl || fail "a failed learn changed the dictionary"

# ---- list, add, delete ----
run 0 "$wordloom" list -d d.spl --from d --to g
[[ $(tr '\n' ' ' <out.txt) == "dog fox " ]] || fail "list d..g gave: $(cat out.txt)"
run 2 "$wordloom" list -d d.spl --from g --to d

run 0 "$wordloom" add -d d.spl wombat
run 0 "$wordloom" suggest -d d.spl wombat
run 0 "$wordloom" delete -d d.spl wombat zebra
run 1 "$wordloom" suggest -d d.spl wombat zebra
run 0 "$wordloom" add -d new.spl alpha beta
run 0 "$wordloom" list -d new.spl
[[ $(tr '\n' ' ' <out.txt) == "alpha beta " ]] || fail "a new dictionary lists: $(cat out.txt)"
run 2 "$wordloom" add alpha
expect_err "-d DICT"

# ---- count ----
run 0 "$wordloom" count corpus.txt
[[ $(head -1 out.txt) == $'and\t1' ]] || fail "count starts with: $(head -1 out.txt)"
expect_out $'the\t4'
expect_out $'fox\t2'
LC_ALL=C sort -c out.txt 2>/dev/null || fail "count output is not sorted by word"
cp out.txt whole.txt
head -1 corpus.txt | "$wordloom" count - >part1.txt
tail -1 corpus.txt | "$wordloom" count - >part2.txt
LC_ALL=C sort part1.txt part2.txt |
  awk -F'\t' '$1 != w { if (NR > 1) print w "\t" n; w = $1; n = 0 } { n += $2 } END { print w "\t" n }' >summed.txt
cmp -s summed.txt whole.txt || fail "counts of the halves do not sum to the whole"

# ---- encode and decode ----
run 0 "$wordloom" encode -d d.spl corpus.txt corpus.enc
cmp -s corpus.txt corpus.enc && fail "encoding changed nothing"
run 0 "$wordloom" decode -d d.spl corpus.enc corpus.dec
cmp -s corpus.txt corpus.dec || fail "decode did not give the text back"
run 0 "$wordloom" encode -d "$default_dict" bad.txt bad.enc
run 0 "$wordloom" decode -d "$default_dict" bad.enc bad.dec
cmp -s bad.txt bad.dec || fail "round trip with the default dictionary"
# "-" is standard input as IN and standard output as OUT; no file named "-".
"$wordloom" encode -d d.spl - - <corpus.txt | "$wordloom" decode -d d.spl - - >piped.dec ||
  fail "encode/decode through standard input and output failed"
cmp -s corpus.txt piped.dec || fail "the round trip through - did not give the text back"
[[ -e - ]] && fail "a file named - was written"
# Any bytes come back: NUL bytes (the dictionary's token) and a binary file.
printf 'the\0dog\0\0 and the fox\0' >nul.txt
run 0 "$wordloom" encode -d d.spl nul.txt nul.enc
run 0 "$wordloom" decode -d d.spl nul.enc nul.dec
cmp -s nul.txt nul.dec || fail "NUL bytes were lost: $(od -c nul.dec)"
head -c 65536 "$wordloom" >program.bin
for i in $(seq 0 255); do printf "\\$(printf %o "$i")"; done >>program.bin
run 0 "$wordloom" encode -d "$default_dict" program.bin program.enc
"$wordloom" decode -d "$default_dict" - - <program.enc >program.dec || fail "decode of a binary failed"
cmp -s program.bin program.dec || fail "a binary file did not come back byte for byte"
# --raw: the plain stream without the header, as the tool wrote before; a
# text it would lose (NUL, the token without replacement) is refused.
run 0 "$wordloom" encode --raw -d d.spl corpus.txt raw.enc
run 0 "$wordloom" decode --raw -d d.spl raw.enc raw.dec
cmp -s corpus.txt raw.dec || fail "the plain stream did not give the text back"
run 2 "$wordloom" decode -d d.spl raw.enc raw2.dec
expect_err "not an encoded file"
run 2 "$wordloom" encode --raw -d d.spl nul.txt nul-raw.enc
expect_err "would not give it back"
[[ -e nul-raw.enc ]] && fail "a refused plain stream was written"
# Another dictionary, a flipped byte and a truncated file are refused, and
# nothing is written.
run 2 "$wordloom" decode -d "$default_dict" corpus.enc wrong.dec
expect_err "corpus.enc: encoded with another dictionary"
[[ -e wrong.dec ]] && fail "a refused decode left its output"
cp corpus.enc flipped.enc
printf '\x01' | dd of=flipped.enc bs=1 seek=60 conv=notrunc 2>/dev/null
run 2 "$wordloom" decode -d d.spl flipped.enc flipped.dec
expect_err "flipped.enc: damaged"
run 2 "$wordloom" decode -d d.spl - - <flipped.enc
[[ -s out.txt ]] && fail "a damaged file wrote text to standard output: $(cat out.txt)"
head -c 70 corpus.enc >short.enc
run 2 "$wordloom" decode -d d.spl short.enc short.dec
expect_err "short.enc: damaged: truncated"
[[ -e flipped.dec || -e short.dec ]] && fail "a damaged file left an output"
# An output through a link replaces the file it names; a FIFO is written into.
mkdir sub && ln -s sub/linked.enc link.enc && printf 'old' >sub/linked.enc
run 0 "$wordloom" encode -d d.spl corpus.txt link.enc
[[ -L link.enc ]] || fail "the link to the output was replaced"
cmp -s corpus.enc sub/linked.enc || fail "the file behind the link was not written"
mkfifo out.fifo
cat out.fifo >fifo.dec &
run 0 "$wordloom" decode -d d.spl corpus.enc out.fifo
wait
[[ -p out.fifo ]] || fail "the FIFO was replaced"
cmp -s corpus.txt fifo.dec || fail "the FIFO did not receive the text"
# A read-only output is refused, also for root, and kept.
printf 'keep' >ro.enc && chmod 444 ro.enc
run 2 "$wordloom" encode -d d.spl corpus.txt ro.enc
expect_err "read-only"
[[ $(cat ro.enc) == keep ]] || fail "a read-only output was changed"

# ---- "-" is standard input or output for every file argument ----
"$wordloom" learn corpus.txt -o - >stdout.spl 2>err.txt || fail "learn -o - failed: $(cat err.txt)"
[[ -e - ]] && fail "learn -o - wrote a file named -"
run 0 "$wordloom" info -d - <stdout.spl
expect_out "words:               11"
run 0 "$wordloom" info - <stdout.spl
expect_out "words:               11"
"$wordloom" add -d - zebra <stdout.spl >added.spl 2>err.txt || fail "add -d - failed: $(cat err.txt)"
run 0 "$wordloom" suggest -d added.spl zebra
"$wordloom" delete -d - zebra <added.spl >deleted.spl 2>err.txt || fail "delete -d - failed"
cmp -s stdout.spl deleted.spl || fail "add and delete through - did not give the dictionary back"
run 1 "$wordloom" suggest -d - brwn <stdout.spl
grep -q '^brwn: brown' out.txt || fail "suggest -d -: $(cat out.txt)"
run 0 "$wordloom" list -d - --from q --to r <stdout.spl
expect_out "quick"
run 1 "$wordloom" check -d d.spl - <bad.txt
grep -q '^<stdin>:1:11: brwn: brown' out.txt || fail "check -: $(cat out.txt)"
run 0 "$wordloom" count - <corpus.txt
expect_out "the	4"
printf 'fox\t5\n' | "$wordloom" learn --counts - -o counted.spl 2>err.txt || fail "--counts -: $(cat err.txt)"
printf 'secret\n' >pw-stdin.txt
run 0 "$wordloom" learn --protect --password-file - corpus.txt -o p-stdin.spl <pw-stdin.txt
run 0 "$wordloom" info --password-file - p-stdin.spl <pw-stdin.txt
expect_out "protected:           yes"
run 0 "$wordloom" decode -d d.spl corpus.enc -
cmp -s corpus.txt out.txt || fail "decode to - did not write the text to standard output"
[[ -e - ]] && fail "a file named - was written"
# Standard input serves one argument; a second is refused, as are the pipe's
# and the interactive check's, whose standard input holds the protocol.
run 2 "$wordloom" check -d - - <bad.txt
expect_err "standard input holds the dictionary"
run 2 "$wordloom" learn - --counts - -o twice.spl <corpus.txt
expect_err "cannot be read from it too"
run 2 "$wordloom" -a -d - <stdout.spl
expect_err "standard input holds the ispell protocol"
run 2 "$wordloom" -a -d d.spl -p - </dev/null
expect_err "the personal word list cannot be read from it too"
run 2 "$wordloom" check --interactive -d - bad.txt <stdout.spl
expect_err "standard input holds the commands"
[[ -e - ]] && fail "a file named - was written"

# ---- the default dictionary ----
WORDLOOM_DICT=$default_dict run 1 "$wordloom" check bad.txt
grep -q '^bad.txt:1:11: brwn: brown' out.txt || fail "default dictionary: brwn -> brown: $(cat out.txt)"
run 0 "$wordloom" info   # found beside the program
grep -q '^words: *[0-9]\{5,\}$' out.txt || fail "the default dictionary is small: $(cat out.txt)"

# ---- dictionaries by name, lists of them, personal word lists ----
printf 'The colour of the centre; organise it.\n' >british.txt
run 0 "$wordloom" check -d british british.txt
run 1 "$wordloom" check -d en_US british.txt
grep -q '^british.txt:1:5: colour: color' out.txt || fail "en_US did not flag colour: $(cat out.txt)"
[[ $(wc -l <out.txt) -eq 3 ]] || fail "en_US flagged other than colour, centre, organise: $(cat out.txt)"
printf 'The color of the center; colour and centre.\n' >both.txt
run 0 "$wordloom" check -d en-us,EN_gb both.txt
run 1 "$wordloom" check -d en_GB both.txt
printf 'colour color\n' | "$wordloom" -l -d american,british >out.txt 2>err.txt
[[ ! -s out.txt ]] || fail "-l with two dictionaries flagged: $(cat out.txt)"
# Both carry the accented spellings of common loanwords.
for d in en_US en_GB; do
  printf 'A naïve crème brûlée, a résumé, a façade and déjà vu in a café.\n' |
    "$wordloom" -l -d $d >out.txt 2>err.txt
  [[ ! -s out.txt ]] || fail "$d flagged accented loanwords: $(cat out.txt)"
done
run 0 "$wordloom" -D
grep -qP '^en_US\t.*/en_US\.spl\taliases: american, en, english$' out.txt || fail "-D lacks en_US: $(cat out.txt)"
grep -qP '^en_GB\t.*/en_GB\.spl\taliases: british$' out.txt || fail "-D lacks en_GB: $(cat out.txt)"
# $WORDLOOM_PATH comes first; a name there hides the installed one.
mkdir -p mine && cp d.spl mine/en_GB.spl && cp d.spl mine/book.spl
WORDLOOM_PATH="$work/nowhere:$work/mine" run 1 "$wordloom" check -d british british.txt
WORDLOOM_PATH="$work/mine" run 0 "$wordloom" check -d book clean.txt
WORDLOOM_PATH="$work/mine" run 0 "$wordloom" -D
grep -qP "^book\t$work/mine/book.spl\$" out.txt || fail "-D lacks book: $(cat out.txt)"
# A name only Hunspell has is listed as one to import, imported into the
# cache at its first use and found there afterwards.
mkdir -p hun && printf 'SET UTF-8\n' >hun/xx_XX.aff && printf '1\nword\n' >hun/xx_XX.dic
DICPATH="$work/hun" run 0 "$wordloom" -D
grep -qP "^xx_XX\t$work/hun/xx_XX.dic\tHunspell, to import into $work/home/cache/wordloom/xx_XX.spl\$" out.txt ||
  fail "-D lacks the Hunspell dictionary: $(cat out.txt)"
printf 'word\n' >hunword.txt
DICPATH="$work/hun" run 0 "$wordloom" check -d xx_XX hunword.txt
expect_err "importing the Hunspell dictionary $work/hun/xx_XX.dic"
[[ -f $work/home/cache/wordloom/xx_XX.spl ]] || fail "the import is not in the cache"
printf 'wrod\n' >hunword.txt
DICPATH="$work/hun" run 1 "$wordloom" check -d xx_XX hunword.txt
grep -q "wrod: word" out.txt || fail "the imported dictionary does not suggest: $(cat out.txt)"
grep -q importing err.txt && fail "imported again: $(cat err.txt)"
run 2 "$wordloom" check -d no_such_name good.txt
expect_err "no dictionary named no_such_name"
run 2 "$wordloom" info -d en_US,en_GB
expect_err "takes one dictionary"
# The personal list of a name: "*" and "#" in the pipe write it in the data
# folder; check, -l and suggest know its words; the shared dictionary stays.
cp "$default_dict" shared-before.spl
printf 'Wordloomish qwzzy\n*Wordloomish\n#\n' | "$wordloom" -a -d en >out.txt 2>err.txt || fail "-a * # exited $?: $(cat err.txt)"
[[ $(cat home/data/wordloom/personal/en_US.txt) == Wordloomish ]] || fail "the personal list is not in the data folder: $(ls -R home)"
printf 'Wordloomish qwzzy\n' >personal.txt
run 1 "$wordloom" check personal.txt
grep -q 'Wordloomish' out.txt && fail "check did not use the personal list: $(cat out.txt)"
run 0 "$wordloom" suggest -d american Wordloomish
cmp -s "$default_dict" shared-before.spl || fail "the shared dictionary was changed"
printf 'qwzzy\n' >i8.txt
"$wordloom" check --interactive -d en_US i8.txt <<<'a' >out.txt 2>err.txt || fail "check --interactive a exited $?: $(cat err.txt)"
grep -qx qwzzy home/data/wordloom/personal/en_US.txt || fail "'a' did not add to the personal list: $(cat home/data/wordloom/personal/en_US.txt)"
cmp -s "$default_dict" shared-before.spl || fail "'a' changed the shared dictionary"

# ---- protected dictionaries ----
printf 'secret\n' >pw.txt
printf 'wrong\n' >wrong.txt
run 0 "$wordloom" learn --protect --password-file pw.txt corpus.txt -o p.spl
run 0 "$wordloom" info --password-file pw.txt p.spl
expect_out "protected:           yes"
run 2 "$wordloom" info --password-file wrong.txt p.spl
expect_err "Wrong password"
run 2 "$wordloom" info p.spl </dev/null
expect_err "password"
# A weak password is refused and never printed, raw or escaped.
printf 'w\227x\377y\377z\177\n' >weak.txt
run 2 "$wordloom" learn --protect --password-file weak.txt corpus.txt -o weak.spl
expect_err "Weak key password: choose another password"
grep -q -e "$(printf '\377')" -e 'xff' -e 'w.x' err.txt && fail "the password was printed: $(cat err.txt)"
[[ -e weak.spl ]] && fail "a dictionary with a refused password was written"
run 0 "$wordloom" add --password-file pw.txt -d p.spl wombat
before_forms=$(forms)
run 0 "$wordloom" suggest --password-file pw.txt -d p.spl wombat
[[ $(forms) -eq $before_forms ]] || fail "a protected dictionary got a compact form"
# Every length the cipher takes works, from 2 bytes to the 4096 the tool
# reads; 1 and 4097 are refused in plain words that show no byte of them.
for n in 1 2 3 8 255 256 4096 4097; do
  head -c "$n" /dev/zero | tr '\0' 'k' >"pw$n.txt" && printf '\n' >>"pw$n.txt"
  "$wordloom" learn --protect --password-file "pw$n.txt" corpus.txt -o "p$n.spl" >out.txt 2>err.txt
  got=$?
  case $n in
    1) [[ $got -eq 2 ]] && grep -q "needs at least two characters" err.txt ||
         fail "a one-byte password: exit $got: $(cat err.txt)" ;;
    4097) [[ $got -eq 2 ]] && grep -q "longer than 4096 bytes" err.txt ||
         fail "a password of 4097 bytes: exit $got: $(cat err.txt)" ;;
    *) [[ $got -eq 0 ]] || fail "a password of $n bytes: exit $got: $(cat err.txt)"
       run 0 "$wordloom" suggest --password-file "pw$n.txt" -d "p$n.spl" fox ;;
  esac
  grep -q kk err.txt && fail "a message showed the password: $(cat err.txt)"
done

# ---- interactive check: commands on standard input, the file corrected in place ----
# icheck STATUS FILE COMMANDS [ARGS...]: runs check --interactive with the
# commands (printf format) on standard input.
icheck() {
  local want=$1 file=$2 commands=$3
  shift 3
  printf "$commands" >commands.txt
  "$wordloom" check --interactive -d i.spl "$@" "$file" <commands.txt >out.txt 2>err.txt
  local got=$?
  [[ $got -eq $want ]] || fail "check --interactive $file exited $got, expected $want: $(cat err.txt)"
}
cp d.spl i.spl
printf 'the quick brwn fox\n  a lazy dgo\n' >i1.txt
icheck 0 i1.txt '0\ni\ni\n'
[[ $(cat i1.txt) == $'the quick brown fox\n  a lazy dgo' ]] || fail "0/i/i gave: $(cat i1.txt)"
grep -qxF 'i1.txt:1:11: brwn' err.txt || fail "brwn not shown with its place: $(cat err.txt)"
grep -qxF '  0) brown' err.txt || fail "brown not offered first: $(cat err.txt)"
grep -qxF '  the quick brwn fox' err.txt || fail "the line of brwn not shown: $(cat err.txt)"
[[ ! -s out.txt ]] || fail "check --interactive printed on stdout: $(cat out.txt)"
# A corrected file reached through a link: the file behind it changes, the link stays.
mkdir -p texts && printf 'the quick brwn fox\n' >texts/i7.txt && ln -s texts/i7.txt i7.txt
icheck 0 i7.txt '0\n'
[[ -L i7.txt ]] || fail "check --interactive replaced the link"
[[ $(cat texts/i7.txt) == 'the quick brown fox' ]] || fail "the linked file was not corrected: $(cat texts/i7.txt)"

printf 'the quick brwn fox\n  a lazy dgo\n' >i2.txt
icheck 0 i2.txt 'r fixed\nq\n'
[[ $(cat i2.txt) == $'the quick fixed fox\n  a lazy dgo' ]] || fail "'r fixed' then q gave: $(cat i2.txt)"

printf 'the quick brwn fox\n  a lazy dgo\n' >i3.txt
icheck 0 i3.txt 'i\n'  # input ends at the second word: cancel, earlier answers kept
cmp -s i3.txt <(printf 'the quick brwn fox\n  a lazy dgo\n') || fail "ignore and end of input changed: $(cat i3.txt)"

printf 'dgo runs; the dgo, dgos and xdgo dgo\n' >i4.txt
icheck 0 i4.txt 'R 0\nI\nI\n'
[[ $(cat i4.txt) == 'dog runs; the dog, dgos and xdgo dog' ]] || fail "R 0 gave: $(cat i4.txt)"
printf 'dgo runs; the dgo\n' >i5.txt
icheck 0 i5.txt 'R hound\nq\n'
[[ $(cat i5.txt) == 'hound runs; the hound' ]] || fail "R hound gave: $(cat i5.txt)"

# unknown input, an absent correction and the options ask again; a adds and saves -d
printf 'the zyx fox\n' >i6.txt
icheck 0 i6.txt 'what\nr\n9\no\na\n' --max-suggestions 2
grep -qF "unknown command 'what'" err.txt || fail "unknown input not reported: $(cat err.txt)"
grep -qF "unknown command 'r'" err.txt || fail "r without text not refused: $(cat err.txt)"
grep -q 'no correction 9$' err.txt || fail "an absent correction was not refused: $(cat err.txt)"
grep -q '^  2) ' err.txt && fail "--max-suggestions 2 showed a third correction: $(cat err.txt)"
[[ $(grep -c 'i6.txt:1:5: zyx$' err.txt) -eq 2 ]] || fail "options did not ask again: $(cat err.txt)"
[[ $(cat i6.txt) == 'the zyx fox' ]] || fail "'a' changed the text: $(cat i6.txt)"
run 0 "$wordloom" check -d i.spl i6.txt
icheck 0 i6.txt ''
[[ ! -s err.txt ]] || fail "an added word was asked about again: $(cat err.txt)"

# a file without misspellings is left as it was, and no temporary file remains
printf 'the quick brown fox\r\nthe lazy dog' >i7.txt
cp i7.txt i7-before.txt
icheck 0 i7.txt 'q\n'
cmp -s i7.txt i7-before.txt || fail "a clean file was changed"
[[ ! -s err.txt ]] || fail "a clean file asked: $(cat err.txt)"
leftovers=$(ls | grep -c -e '^i[0-9].txt.' -e '^i.spl.')
[[ $leftovers -eq 0 ]] || fail "interactive check left temporary files: $(ls)"
icheck 2 - 'q\n'
grep -qF 'standard input' err.txt || fail "check --interactive - accepted: $(cat err.txt)"

# ---- errors ----
run 2 "$wordloom" check -d d.spl missing.txt
expect_err "missing.txt: no such file"
run 2 "$wordloom" check -d missing.spl good.txt
expect_err "missing.spl"
run 2 "$wordloom" check --bogus good.txt
expect_err "--bogus"
run 2 "$wordloom"
[[ $(wc -l <err.txt) -le 5 ]] || fail "a bare wordloom printed more than a short usage: $(cat err.txt)"
grep -q '^usage: wordloom' err.txt || fail "a bare wordloom printed no usage: $(cat err.txt)"
run 2 "$wordloom" -a check good.txt
run 2 "$wordloom" suggest -d d.spl --max-suggestions -1 FXO
expect_err "--max-suggestions"
run 2 "$wordloom" check -d d.spl --max-suggestions 99999999999999999999 good.txt
expect_err "--max-suggestions"
# A control byte in an option value is shown escaped, never raw.
run 2 "$wordloom" check -d d.spl --ranking "$(printf 'x\001y')" good.txt
expect_err 'x\x01y not in {likelihood,sort-methods}'
run 1 "$wordloom" suggest -d d.spl --ranking Sort-Methods FXO   # names in any case
grep -q "$(printf '\001')" err.txt && fail "a raw control byte reached stderr"
# A binary file as the personal list is refused, not rewritten with its "words".
printf 'MZ\0\001\002binary\n\377\376junk\n' >personal.bin
cp personal.bin personal-before.bin
printf '*qwzz\n#\n' | "$wordloom" -a -d d.spl -p personal.bin >out.txt 2>err.txt
[[ $? -eq 2 ]] || fail "a binary personal list was accepted"
expect_err "personal.bin"
grep -q "$(printf '\377')" err.txt && fail "binary bytes reached stderr"
cmp -s personal.bin personal-before.bin || fail "a binary personal list was rewritten"
head -c 200 d.spl >corrupt.spl
run 2 "$wordloom" check -d corrupt.spl good.txt
expect_err "corrupt.spl"
head -c 100 /dev/urandom >noise.spl
run 2 "$wordloom" info noise.spl
cp corrupt.spl corrupt-before.spl
run 2 "$wordloom" learn corpus.txt -o corrupt.spl
cmp -s corrupt.spl corrupt-before.spl || fail "learn overwrote a corrupt dictionary"
printf 'abc\0def\n' >binary.bin
run 2 "$wordloom" check -d d.spl binary.bin
expect_err "binary"
run 2 "$wordloom" encode -d d.spl missing.txt out.enc
[[ -e out.enc ]] && fail "a failed encode left its output"
printf '\0\377\377\377\377\0garbage' >garbage.enc
run 2 "$wordloom" decode -d d.spl garbage.enc garbage.txt
[[ -e garbage.txt ]] && fail "a failed decode left its output"
expect_err "garbage.enc: not an encoded file"
# A failure of the output names the output and the reason, not the input.
run 2 "$wordloom" encode -d d.spl corpus.txt no-such-folder/out.enc
expect_err '"no-such-folder/out.enc". No such file or directory'
grep -q "corpus.txt" err.txt && fail "the output's failure named the input: $(cat err.txt)"
leftovers=$(ls | grep -c -e '^garbage.txt.' -e '^out.enc.' -e '^d.spl.')
[[ $leftovers -eq 0 ]] || fail "temporary files were left: $(ls)"
run 2 "$wordloom" learn --fixed 9 corpus.txt -o f.spl

# ---- ispell compatibility ----
run 0 "$wordloom" -vv
expect_out "@(#) International Ispell Version 3.2.06 (but really Wordloom $("$wordloom" --version | cut -d' ' -f2))"
printf 'the brwn fox\n' | "$wordloom" -a -m -B -i utf-8 -d d.spl >out.txt 2>err.txt ||
  fail "-a -m -B exited $?: $(cat err.txt)"
grep -q '^& brwn ' out.txt || fail "-a did not report brwn: $(cat out.txt)"
printf 'the brwn fox\n' | "$wordloom" -l -d d.spl >out.txt 2>err.txt || fail "-l exited $?"
[[ $(cat out.txt) == brwn ]] || fail "-l listed: $(cat out.txt)"
printf 'fox\n' | "$wordloom" -a -i latin-9 -d d.spl >out.txt 2>err.txt && fail "-i latin-9 accepted"

# ---- correctly written English with the default dictionary ----
# Typographic punctuation, contractions, possessives, a URL, an e-mail address
# and an ordinal: nothing to report, in check, -l and -a alike.
printf '%s\n' "It’s fine, it's John's book—then “quoted” end… costs 5€. See https://example.com or mail me@example.org on the 1st." >prose.txt
run 0 "$wordloom" check -d "$default_dict" prose.txt
[[ ! -s out.txt ]] || fail "check reported words in clean prose: $(cat out.txt)"
"$wordloom" -l -d "$default_dict" <prose.txt >out.txt 2>err.txt || fail "-l exited $?"
[[ ! -s out.txt ]] || fail "-l listed words of clean prose: $(cat out.txt)"
"$wordloom" -a -d "$default_dict" <prose.txt >out.txt 2>err.txt || fail "-a exited $?"
grep -qv '^[*@]\|^$' out.txt && fail "-a reported words of clean prose: $(cat out.txt)"
printf 'costs 5€ and a “misspeled” word\n' | "$wordloom" -a -d "$default_dict" >out.txt 2>err.txt
grep -q '^& misspeled [0-9]* 16: misspelled' out.txt || fail "-a offset of misspeled: $(cat out.txt)"

# ---- markup modes ----
printf '<p class="qqqz">the <b>dgo</b> &amp; fox</p>\n' >page.html
run 1 "$wordloom" check -d d.spl --mode html page.html
[[ $(cat out.txt) == 'page.html:1:24: dgo: dog' ]] || fail "check --mode html: $(cat out.txt)"
run 2 "$wordloom" check -d d.spl --mode qqqz page.html
printf '\\textbf{the} dgo\n' | "$wordloom" -a -t -d d.spl >out.txt 2>err.txt || fail "-a -t exited $?"
grep -q '^& dgo [0-9]* 13: dog' out.txt || fail "-a -t did not skip the command: $(cat out.txt)"

if ((failures > 0)); then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "all wordloom end-to-end checks passed"
