#!/usr/bin/env bash
# Usage: deb_test.sh BUILD_DIR WORK_DIR
#
# Builds the Debian package with cpack, checks what it holds and that its
# dependencies are packages this machine has, unpacks it into a scratch root
# (dpkg -x: nothing touches the real system) and runs the programs from
# there: `wordloom check` with the packaged default dictionary, found beside
# the program as on a machine where the package is installed.
set -euo pipefail
build=$1 work=$2
rm -rf "$work" && mkdir -p "$work"
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
unset WORDLOOM_DICT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack -G DEB -B "$work/out" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(find "$work/out" -maxdepth 1 -name 'wordloom_*.deb' | head -1)
[[ -n $deb ]] || fail "cpack made no .deb"

# What it holds.
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/contents"
for f in /usr/bin/wordloom /usr/share/wordloom/en.spl /usr/share/man/man1/wordloom.1 \
  /usr/share/bash-completion/completions/wordloom /usr/share/doc/wordloom/README.md \
  /usr/include/wordloom/wordloom.h /usr/lib/pkgconfig/wordloom.pc; do
  grep -qx -- "$f" "$work/contents" || fail "the package lacks $f"
done
if grep -q '^WORDLOOM_BUILD_SHARED:BOOL=ON' "$build/CMakeCache.txt"; then
  grep -qE '^/usr/lib/libwordloom\.so\.[0-9.]+$' "$work/contents" || fail "the package lacks the shared library"
fi
if grep -qx /usr/bin/wordloom-editor "$work/contents"; then
  for f in /usr/share/man/man1/wordloom-editor.1 /usr/share/applications/wordloom-editor.desktop \
    /usr/share/icons/hicolor/scalable/apps/wordloom-editor.svg; do
    grep -qx -- "$f" "$work/contents" || fail "the package lacks $f"
  done
fi

# Its dependencies: found by dpkg-shlibdeps, each one a package this machine
# has installed (the programs ran here, so they are all the package needs).
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libc6 libstdc++6 libutf8proc; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib"
done
if grep -qx /usr/bin/wordloom-editor "$work/contents"; then
  grep -q libqt6widgets6 <<<"$depends" || fail "Depends lacks Qt's widgets"
fi
IFS=',' read -ra alternatives <<<"$depends"
for d in "${alternatives[@]}"; do
  name=$(sed 's/^ *//; s/[ (|].*//' <<<"$d")
  dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q 'install ok installed' ||
    fail "the dependency $name is no installed package"
done

# Unpacked into a scratch root and run from there.
root=$work/root
dpkg-deb -x "$deb" "$root"
export LD_LIBRARY_PATH=$root/usr/lib
set +e
sample=$work/letter.txt
printf 'We recieve the letter today.\n' >"$sample"
"$root/usr/bin/wordloom" check "$sample" >"$work/check.out" 2>"$work/check.err"
status=$?
set -e
[[ $status -eq 1 ]] || fail "wordloom check from the package: status $status: $(cat "$work/check.err")"
grep -q 'recieve: receive' "$work/check.out" || fail "wordloom check found no correction: $(cat "$work/check.out")"
{ "$root/usr/bin/wordloom" suggest teh || true; } | grep -q '^teh: the' || fail "wordloom suggest from the package"
if [[ -x $root/usr/bin/wordloom-editor ]]; then
  env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$root/usr/bin/wordloom-editor" --version |
    grep -q '^wordloom-editor ' || fail "wordloom-editor --version from the package"
fi
echo "deb: $(basename "$deb") holds and runs the tool"
