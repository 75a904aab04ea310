#!/bin/sh
# tst_depends.sh DEB|FOLDER: the package's Depends name every package its programs need on a system
# that has nothing else: the libraries they link (dpkg-shlibdeps on each program in the package) and
# the packages of the Qt plugins the programs are seen to load, which no linker sees: the SQL driver
# of an installation in files (a server session is libpq's, which the programs link) and the window
# system's platform plugin. The programs run from the unpacked package with QT_DEBUG_PLUGINS, doing what loads
# each plugin: making an installation, listing it, reaching for a server, opening the console.
# Exit 77 (skipped) when no package has been built or the dpkg tools are missing.
set -u
skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }

deb=${1:-}
if [ -d "$deb" ]; then
  deb=$(ls -t "$deb"/revozi_*.deb 2>/dev/null | head -1)
fi
[ -n "$deb" ] && [ -f "$deb" ] || skip "no package built (./scripts/package makes build-deb/revozi_<version>_<arch>.deb)"
for tool in dpkg-deb dpkg-shlibdeps dpkg-query; do
  command -v "$tool" >/dev/null || skip "$tool is missing (package dpkg-dev)"
done
echo "package: $deb"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
pkg=$tmp/pkg
dpkg-deb -x "$deb" "$pkg" || fail "dpkg-deb -x $deb"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# The package names a Depends field allows, each alternative counting.
names() { printf '%s\n' "$1" | tr ',|' '\n\n' | sed 's/(.*)//; s/\[.*\]//; s/:any//; s/[[:space:]]//g' | grep . | sort -u; }
names "$depends" >"$tmp/depends"
missing=

# 1. The libraries the programs link, as dpkg-shlibdeps maps them to packages (it wants a control
# file naming the package beside it).
mkdir -p "$tmp/src/debian"
printf 'Source: revozi\n\nPackage: revozi\nArchitecture: any\n' >"$tmp/src/debian/control"
programs=
for f in $(find "$pkg" -type f -perm -u+x); do
  [ "$(head -c 4 "$f" | od -An -c | tr -d ' ')" = '177ELF' ] && programs="$programs -e$f"
done
[ -n "$programs" ] || fail "no program in the package"
shlibs=$(cd "$tmp/src" && dpkg-shlibdeps -O $programs 2>"$tmp/shlibdeps.err") \
  || fail "dpkg-shlibdeps: $(cat "$tmp/shlibdeps.err")"
shlibs=${shlibs#shlibs:Depends=}
echo "the programs link: $shlibs"
for p in $(names "$shlibs"); do
  grep -qx "$p" "$tmp/depends" || missing="$missing $p"
done

# 2. The plugins the programs load at run time. Each run is one the package is used for; the
# failures expected (no server there) do not matter, only what was loaded to try.
root=$tmp/installation
export QT_DEBUG_PLUGINS=1 REVOZI_SYSDIR= QT_QPA_PLATFORM=
bin=$pkg/usr/bin
"$bin/revozi-setup" "$root" --demo >>"$tmp/loaded" 2>&1 || fail "revozi-setup from the package: $(tail -5 "$tmp/loaded")"
"$bin/revozi-backup" "$root" list >>"$tmp/loaded" 2>&1 || fail "revozi-backup list from the package: $(tail -5 "$tmp/loaded")"
"$bin/revozi-backup" --server "host=$tmp/no-server dbname=revozi" list >>"$tmp/loaded" 2>&1
if command -v xvfb-run >/dev/null; then
  # The console on a display of its own, ended by this script once its window system is loaded.
  timeout 60 xvfb-run -a sh -c '
    "$1" "$2" >"$3" 2>&1 &
    console=$!
    i=0
    while [ $i -lt 300 ] && ! grep -q "/platforms/.*loaded library" "$3"; do sleep 0.1; i=$((i + 1)); done
    kill $console; wait $console' sh "$bin/revozi-admin" "$root" "$tmp/console" >/dev/null 2>&1
  cat "$tmp/console" >>"$tmp/loaded"
  grep -q "/platforms/.*loaded library" "$tmp/loaded" || fail "the console loaded no platform plugin: $(tail -5 "$tmp/console")"
else
  echo "note: no xvfb-run, the console's platform plugin not tried"
fi
plugins=$(sed -n 's/.*"\([^"]*\/plugins\/[^"]*\)" loaded library.*/\1/p' "$tmp/loaded" | sort -u)
for kind in sqldrivers/libqsqlite; do
  printf '%s\n' "$plugins" | grep -q "/$kind" || fail "no run loaded $kind: $(grep -i 'sql\|revozi' "$tmp/loaded" | tail -5)"
done
for plugin in $plugins; do
  owner=$(dpkg-query -S "$plugin" 2>/dev/null | head -1 | cut -d: -f1)
  [ -n "$owner" ] || owner=$(dpkg-query -S "$(readlink -f "$plugin")" 2>/dev/null | head -1 | cut -d: -f1)
  case $plugin in
    */sqldrivers/* | */platforms/*) need=yes ;;
    *) need= ;; # image formats, input methods, themes: Qt works without them
  esac
  echo "loaded ${need:+(needed) }$plugin from ${owner:-no package}"
  [ -n "$need" ] || continue
  [ -n "$owner" ] || fail "$plugin belongs to no package"
  grep -qx "$owner" "$tmp/depends" || missing="$missing $owner"
  ldd "$plugin" | grep -q "not found" && fail "$plugin lacks libraries: $(ldd "$plugin" | grep 'not found')"
done

[ -z "$missing" ] || fail "Depends lacks: $(printf '%s\n' $missing | sort -u | tr '\n' ' ')"
echo "Depends names every package the programs link and every plugin they load"
