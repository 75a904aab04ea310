#!/bin/sh
# tst_translations.sh LUPDATE SOURCES_DIR TS_DIR TARGET...: every text a person sees has its English
# translation. For each target:
#  1. its .ts, brought up to date with the target's sources by lupdate (in a copy), has no
#     unfinished or empty translation: a text added or changed without its translation fails;
#  2. each Chinese string literal of its sources is a text lupdate found (given to tr() or
#     translate()), unless its line says "not translated:" and why (a value stored in the
#     database, a key, a file name): a text shown without tr() fails.
# SOURCES_DIR/<target>.sources lists the target's files, one a line (written by cmake).
set -u
export LC_ALL=C.UTF-8
lupdate=$1 sources=$2 tsdir=$3
shift 3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failed=0
for target in "$@"; do
  ts=$tsdir/${target}_en.ts
  list=$sources/$target.sources
  [ -f "$ts" ] || { echo "FAIL: $target has no translation file $ts"; failed=1; continue; }
  cp "$ts" "$tmp/$target.ts"
  files=$(grep -v '^$' "$list")
  # shellcheck disable=SC2086
  "$lupdate" -silent -source-language zh_CN -target-language en -no-obsolete -locations none $files -ts "$tmp/$target.ts" >"$tmp/lupdate.log" 2>&1 \
    || { echo "FAIL: lupdate on $target: $(cat "$tmp/lupdate.log")"; failed=1; continue; }
  # Unfinished messages: lupdate marks new and changed texts so.
  awk -v t="$target" '
    /<source>/ { src = $0; sub(/.*<source>/, "", src); sub(/<\/source>.*/, "", src) }
    /type="unfinished"/ || /<translation><\/translation>/ { print "FAIL: " t ": no English for \"" src "\""; bad = 1 }
    END { exit bad }' "$tmp/$target.ts" || failed=1
  # Chinese literals outside tr()/translate(): each piece between escapes and placeholders must
  # be part of a text the .ts holds.
  for f in $files; do
    grep -nP '"(?:[^"\\]|\\.)*[\x{3000}-\x{9fff}\x{ff00}-\x{ffef}](?:[^"\\]|\\.)*"' "$f" \
      | grep -v 'not translated:' | grep -vP '^\d+:\s*(//|\*|/\*)' >"$tmp/lines" || continue
    while IFS= read -r line; do
      no=${line%%:*}
      code=${line#*:}
      code=${code%%//*}
      printf '%s\n' "$code" | grep -oP '"(?:[^"\\]|\\.)*"' | grep -P '[\x{3000}-\x{9fff}\x{ff00}-\x{ffef}]' \
        | sed 's/^"//; s/"$//; s/\\[nrt"\\]/\n/g; s/%[0-9L]*/\n/g' | grep -P '[\x{3000}-\x{9fff}\x{ff00}-\x{ffef}]' \
        | sed 's/&/\&amp;/g; s/</\&lt;/g; s/>/\&gt;/g' >"$tmp/pieces"
      while IFS= read -r piece; do
        grep -qF -- "$piece" "$tmp/$target.ts" || { echo "FAIL: $f:$no: \"$piece\" is shown without tr()"; failed=1; }
      done <"$tmp/pieces"
    done <"$tmp/lines"
  done
done
[ "$failed" -eq 0 ] && echo "every shown text of $* has its English translation"
exit "$failed"
