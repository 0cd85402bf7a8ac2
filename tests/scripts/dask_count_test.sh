#!/usr/bin/env bash
# Counts a small corpus on a local Dask cluster of two worker processes and
# checks that the summed counts are exactly those of one `wordloom count` over
# the same files, and that `learn --counts` builds a dictionary from them.
#   tests/scripts/dask_count_test.sh WORDLOOM
# Exits 77 (skipped) where Dask distributed is not installed.
set -euo pipefail

wordloom=$(realpath "$1")
script=$(realpath "$(dirname "$0")/../../scripts/dask-count")
if ! /usr/bin/python3 -c 'import distributed' 2>/dev/null; then
  echo "Dask distributed (python3-distributed) is not installed: skipped"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
# Dask keeps its scratch space and settings here, not in the user's folders.
export HOME="$work/home" DASK_TEMPORARY_DIRECTORY="$work/dask"
mkdir -p "$HOME" corpus/more

printf 'The cat sat on the mat.\nThe dog ate the cat'"'"'s dinner.\n' > corpus/a.txt
# UTF-8 words, and a last line without a line break.
printf 'café naïve café\nSchloß über über\nend without newline' > corpus/b.txt
: > corpus/empty.txt
# A file long enough to be cut into many shards of 100 bytes.
for i in $(seq 1 400); do
  echo "line $i of the long file repeats the words alpha beta gamma $((i % 7))"
done > corpus/more/long.txt

files=(corpus/a.txt corpus/b.txt corpus/empty.txt corpus/more/long.txt)
"$wordloom" count "${files[@]}" > expected.tsv
/usr/bin/python3 "$script" --local-workers 2 --shard-bytes 100 --wordloom "$wordloom" \
  corpus > got.tsv

if ! cmp -s expected.tsv got.tsv; then
  echo "FAIL: the cluster's counts differ from one wordloom count:" >&2
  diff expected.tsv got.tsv | head -20 >&2
  exit 1
fi
if [[ $(wc -l < got.tsv) -lt 20 ]]; then
  echo "FAIL: expected at least 20 distinct words, got $(wc -l < got.tsv)" >&2
  exit 1
fi

"$wordloom" learn --counts got.tsv -o counted.spl
# The dictionary built from the counts holds exactly the counted words.
"$wordloom" list -d "$work/counted.spl" | LC_ALL=C sort > learned.txt
cut -f1 got.tsv | LC_ALL=C sort > counted.txt
if ! cmp -s learned.txt counted.txt; then
  echo "FAIL: the dictionary learned from the counts holds other words:" >&2
  diff counted.txt learned.txt | head -10 >&2
  exit 1
fi
echo "dask count: $(wc -l < got.tsv) words, identical to wordloom count"
