#!/usr/bin/env python3
"""Real text beside the peers: false alarms on clean texts, and seeded
misspellings caught.

Checks the clean texts of bench/texts (typographic prose, Markdown, HTML,
LaTeX, all correctly spelled) with wordloom (`check`, which picks the markup
mode from the file's extension, and the pipe's `-l --mode`), Hunspell
(`hunspell -l -d en_US`, with -t or -H as fitting) and Aspell
(`aspell list --lang=en_US --mode=...`), all in the same run. Every word a
tool flags in a clean text is a false alarm. Then it seeds misspellings from
the misspelling sets in ../shared/data into the prose of the texts, a few
rounds with different places and misspellings, and counts how many of the
seeded misspellings each tool flags. Measures and never fails; a tool or a
data set that is missing is left out with a note.

    bench/realtext_compare.py [--wordloom PATH] [--rounds N] [--show]

Run from the project root (scripts/bench runs it after building the tool).
"""

import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
from collections import Counter

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TEXTS = os.path.join(ROOT, "bench", "texts")
DATA = os.path.join(ROOT, "..", "shared", "data")
# Misspelling sets: "right: wrong wrong" lines, and Mitton's "$right" format.
COLON_SETS = ["spell-testset1.txt", "spell-testset2.txt"]
MITTON_SETS = ["mitton-birbeck.dat"]

# The markup mode of each text, by extension: (wordloom --mode, hunspell
# option, aspell --mode).
MODES = {
    ".txt": ("plain", [], "none"),
    ".md": ("markdown", [], "markdown"),
    ".html": ("html", ["-H"], "html"),
    ".tex": ("tex", ["-t"], "tex"),
}

SEEDS_PER_TEXT = 15


def run(cmd, stdin_path=None):
    with open(stdin_path, "rb") if stdin_path else open(os.devnull, "rb") as inp:
        out = subprocess.run(cmd, stdin=inp, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    return out.stdout.decode("utf-8", "replace")


def tools(wordloom):
    """Each tool: name -> function(path, ext) -> Counter of flagged words."""
    found = {}
    if wordloom and os.access(wordloom, os.X_OK):
        def wl_check(path, ext):
            words = Counter()
            for line in run([wordloom, "check", "--max-suggestions", "0", path]).splitlines():
                # FILE:LINE:COLUMN: WORD[: suggestions]
                rest = line[len(path) + 1:]
                parts = rest.split(": ", 2)
                if len(parts) >= 2:
                    words[parts[1].split(":")[0]] += 1
            return words

        def wl_list(path, ext):
            mode = MODES[ext][0]
            return Counter(run([wordloom, "-l", "--mode", mode], path).split())

        found["wordloom check"] = wl_check
        found["wordloom -l"] = wl_list
    else:
        print("wordloom not built (%s): left out" % wordloom)
    if shutil.which("hunspell"):
        def hunspell(path, ext):
            return Counter(run(["hunspell", "-d", "en_US", "-l"] + MODES[ext][1], path).split())
        found["hunspell"] = hunspell
    else:
        print("hunspell not installed: left out")
    if shutil.which("aspell"):
        def aspell(path, ext):
            return Counter(run(["aspell", "list", "--lang=en_US", "--mode=" + MODES[ext][2]],
                               path).split())
        found["aspell"] = aspell
    else:
        print("aspell not installed: left out")
    return found


def read_misspellings():
    """right word -> list of misspellings (letters only, not the word itself)."""
    table = {}

    def add(right, wrong):
        if wrong.isalpha() and right.isalpha() and wrong.lower() != right.lower():
            table.setdefault(right.lower(), set()).add(wrong.lower())

    for name in COLON_SETS:
        path = os.path.join(DATA, name)
        if not os.path.exists(path):
            print("%s missing: left out" % path)
            continue
        with open(path, encoding="utf-8", errors="replace") as f:
            for line in f:
                right, _, wrongs = line.partition(":")
                for w in wrongs.split():
                    add(right.strip(), w)
    for name in MITTON_SETS:
        path = os.path.join(DATA, name)
        if not os.path.exists(path):
            print("%s missing: left out" % path)
            continue
        right = None
        with open(path, encoding="utf-8", errors="replace") as f:
            for line in f:
                line = line.strip()
                if line.startswith("$"):
                    right = line[1:]
                elif right and line:
                    add(right, line.split()[0])
    return {k: sorted(v) for k, v in table.items()}


WORD = re.compile(r"(?<![\w\\’'&#@/.-])([A-Za-z]+)(?![\w’'@/-])")


def prose_places(text, ext):
    """(start, end) of words that stand in prose: not in markup, code, math or
    tags, so that every tool sees a word seeded there as prose."""
    places = []
    in_block = False
    offset = 0
    for line in text.splitlines(keepends=True):
        stripped = line.strip()
        skip = False
        if ext == ".md":
            if stripped.startswith("```"):
                in_block = not in_block
                skip = True
            skip = skip or in_block or line.startswith("    ") or "`" in line or "](" in line
        elif ext == ".tex":
            if stripped.startswith("\\begin{") or stripped.startswith("\\end{"):
                in_block = stripped.startswith("\\begin{") and "abstract" not in stripped
                skip = True
            skip = skip or in_block or "$" in line or stripped.startswith("\\")
        elif ext == ".html":
            if re.match(r"\s*<(style|script)", line):
                in_block = True
            if re.match(r"\s*</(style|script)", line):
                in_block = False
                skip = True
            skip = skip or in_block or not re.match(r"\s*<(p|li|h[1-6])[ >]", line)
        if not skip:
            for m in WORD.finditer(line):
                if ext in (".html", ".md"):
                    before = line[:m.start()]
                    if before.rfind("<") > before.rfind(">"):
                        continue  # inside a tag
                places.append((offset + m.start(1), offset + m.end(1)))
        offset += len(line)
    return places


def parts(flagged):
    """Flagged words counted with their letter runs too: a tool that flags a
    seeded misspelling as part of a longer word ("Wey&rsquo;re") caught it."""
    out = Counter(flagged)
    for word, n in flagged.items():
        runs = re.findall(r"[A-Za-z]+", word)
        if len(runs) > 1 or (runs and runs[0] != word):
            for run in set(runs):
                out[run] += n
    return out


def seed(text, ext, misspellings, rng):
    """Text with up to SEEDS_PER_TEXT words replaced by misspellings of them,
    each misspelling once; and the list of misspellings put in."""
    places = [p for p in prose_places(text, ext) if text[p[0]:p[1]].lower() in misspellings]
    rng.shuffle(places)
    chosen, used = [], set()
    for start, end in places:
        word = text[start:end]
        options = [m for m in misspellings[word.lower()] if m not in used]
        if not options or any(start < e and s < end for s, e, _ in chosen):
            continue
        wrong = rng.choice(options)
        if word[0].isupper():
            wrong = wrong[0].upper() + wrong[1:]
        used.add(wrong.lower())
        chosen.append((start, end, wrong))
        if len(chosen) == SEEDS_PER_TEXT:
            break
    chosen.sort()
    out, last = [], 0
    for start, end, wrong in chosen:
        out.append(text[last:start])
        out.append(wrong)
        last = end
    out.append(text[last:])
    return "".join(out), [w for _, _, w in chosen]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--wordloom", default=os.path.join(ROOT, "build", "default", "cli", "wordloom"))
    parser.add_argument("--rounds", type=int, default=8)
    parser.add_argument("--show", action="store_true", help="print every false alarm")
    args = parser.parse_args()

    checkers = tools(args.wordloom)
    texts = sorted(f for f in os.listdir(TEXTS) if os.path.splitext(f)[1] in MODES)
    if not checkers or not texts:
        print("nothing to compare")
        return 0

    names = list(checkers)
    print("False alarms on the clean texts (words flagged; every word there is right)\n")
    print("| text | words | " + " | ".join(names) + " |")
    print("|---|---|" + "---|" * len(names))
    clean = {}
    totals = Counter()
    with tempfile.TemporaryDirectory(prefix="realtext-") as tmp:
        for name in texts:
            path = os.path.join(TEXTS, name)
            ext = os.path.splitext(name)[1]
            with open(path, encoding="utf-8") as f:
                text = f.read()
            row = []
            for tool in names:
                flagged = checkers[tool](path, ext)
                clean[(name, tool)] = flagged
                totals[tool] += sum(flagged.values())
                row.append(str(sum(flagged.values())))
            print("| %s | %d | %s |" % (name, len(text.split()), " | ".join(row)))
        print("| all | | " + " | ".join(str(totals[t]) for t in names) + " |")
        if args.show:
            for tool in names:
                words = Counter()
                for name in texts:
                    words.update(clean[(name, tool)])
                print("\n%s: %s" % (tool, " ".join("%s×%d" % kv for kv in sorted(words.items()))))

        misspellings = read_misspellings()
        if not misspellings:
            print("\nno misspelling sets in %s: seeding left out" % DATA)
            return 0
        rng = random.Random(13)
        seeded = Counter()
        caught = Counter()
        for _ in range(args.rounds):
            for name in texts:
                ext = os.path.splitext(name)[1]
                with open(os.path.join(TEXTS, name), encoding="utf-8") as f:
                    text = f.read()
                wrong_text, wrongs = seed(text, ext, misspellings, rng)
                path = os.path.join(tmp, name)
                with open(path, "w", encoding="utf-8") as f:
                    f.write(wrong_text)
                seeded[name] += len(wrongs)
                for tool in names:
                    flagged = parts(checkers[tool](path, ext))
                    base = parts(clean[(name, tool)])
                    caught[tool] += sum(1 for w in wrongs if flagged[w] > base[w])
        total = sum(seeded.values())
        print("\nSeeded misspellings caught (%d rounds, %d misspellings from %s)\n"
              % (args.rounds, total, ", ".join(COLON_SETS + MITTON_SETS)))
        print("| tool | caught | share |")
        print("|---|---|---|")
        for tool in names:
            print("| %s | %d of %d | %.1f %% |" % (tool, caught[tool], total,
                                                 100.0 * caught[tool] / max(total, 1)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
