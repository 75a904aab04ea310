#!/bin/sh
# tst_install.sh BUILD: `cmake --install` into a temporary prefix, then the installed programs work
# from there with nothing of the build beside them: the account-database template is found in
# share/ (a demo set is made from it), revozi-backup lists it, and the launcher's first start makes
# the person's own installation under XDG_DATA_HOME and starts the console on it.
set -u
build=$1
tmp=$(mktemp -d)
console=
cleanup() { [ -n "$console" ] && kill "$console" 2>/dev/null; rm -rf "$tmp"; }
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" || fail "cmake --install: $(cat "$tmp/install.log")"
[ ! -e "$prefix/bin/kddata" ] || fail "the template lies beside the installed programs"
for p in revozi revozi-admin revozi-setup revozi-backup; do
  "$prefix/bin/$p" --version | grep -q "^$p [0-9]" || fail "$p --version"
  [ -s "$prefix/share/man/man1/$p.1.gz" ] || fail "no manual page for $p"
  [ -s "$prefix/share/man/zh_CN/man1/$p.1.gz" ] || fail "no Chinese manual page for $p"
done
# Every page is set without a line too long to break (Chinese has no spaces to break at) and
# without a roff mistake.
if command -v groff >/dev/null; then
  for page in "$prefix"/share/man/man1/*.1.gz "$prefix"/share/man/zh_CN/man1/*.1.gz; do
    said=$(gzip -dc "$page" | groff -man -Tutf8 -k -ww -z 2>&1)
    [ -z "$said" ] || fail "$page: $said"
  done
fi
# Under a Chinese locale `man revozi` finds the Chinese page (where the system has the locale).
if command -v man >/dev/null && [ -z "$(LC_ALL=zh_CN.UTF-8 locale 2>&1 >/dev/null)" ]; then
  for p in revozi revozi-admin revozi-setup revozi-backup; do
    LC_ALL=zh_CN.UTF-8 LANGUAGE= MANPATH="$prefix/share/man" man -w "$p" | grep -q "/zh_CN/man1/$p\.1\.gz$" \
      || fail "man $p under zh_CN.UTF-8 does not find the Chinese page"
  done
  LC_ALL=C.UTF-8 LANGUAGE= MANPATH="$prefix/share/man" man -w revozi | grep -q "/share/man/man1/revozi\.1\.gz$" \
    || fail "man revozi under C.UTF-8 does not find the English page"
else
  echo "note: no zh_CN.UTF-8 locale here, man's choice of the Chinese pages not tried"
fi
grep -q "^ExecStart=.*\"$prefix/bin/revozi-backup\" " "$prefix/lib/systemd/user/revozi-backup.service" \
  || fail "the backup service does not name the installed program"

"$prefix/bin/revozi-setup" "$tmp/root" --demo >"$tmp/setup.log" 2>&1 || fail "revozi-setup --demo: $(cat "$tmp/setup.log")"
"$prefix/bin/revozi-backup" "$tmp/root" list >"$tmp/list" 2>&1 || fail "revozi-backup list: $(cat "$tmp/list")"
grep -q "\[001\]演示账套" "$tmp/list" || fail "revozi-backup list shows no demo set: $(cat "$tmp/list")"

# The launcher from a terminal (script gives it one): the first start says what it makes, makes
# it and becomes the console; the second start is the console at once, with no word of the launcher's. A user name
# of its own keeps this console apart from any other (a console ends earlier ones of the same user),
# and its listening socket shows it has loaded.
export XDG_DATA_HOME="$tmp/xdg" QT_QPA_PLATFORM=offscreen USER=revozi-install-test
# (The socket's name hashes the title, the user and the display, as the console does.)
sock=${TMPDIR:-/tmp}/revozi-$(printf '%s\0%s\0%s' 'revozi〖系统管理〗' "$USER" "${DISPLAY:-${WAYLAND_DISPLAY:-}}" | sha1sum | cut -c1-20)
start() {
  rm -f "$sock"
  script -qec "$prefix/bin/revozi" /dev/null >"$tmp/said" 2>&1 &
  console=$!
  i=0
  while [ ! -S "$sock" ] && [ $i -lt 300 ] && kill -0 "$console" 2>/dev/null; do sleep 0.1; i=$((i + 1)); done
  [ -S "$sock" ] || fail "the console did not start: $(cat "$tmp/said")"
  kill "$console"
  wait "$console" 2>/dev/null
  console=
}
start
grep -q "首次启动：将在 $XDG_DATA_HOME/revozi 建立" "$tmp/said" || fail "the first start did not say so: $(cat "$tmp/said")"
[ -f "$XDG_DATA_HOME/revozi/DeZaduzi/DeZaduzi.mdb" ] || fail "no installation under XDG_DATA_HOME"
start
! grep -q "^revozi: " "$tmp/said" || fail "the second start said: $(cat "$tmp/said")"
echo "installed copy works from $prefix"
