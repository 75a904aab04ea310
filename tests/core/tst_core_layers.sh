#!/bin/sh
# The core's folders build on each other in one direction: a folder includes headers only from
# the folders below it. An include that points up (the engine reaching into the operators' work,
# say) fails here, naming the file and the header.
#   files < engine < audit < users, setup, permissions, tasks < accounts < backup < install
# The core's own top files (the error log, the language, outcomes) sit below them all.
core=${1:?usage: tst_core_layers.sh CORE_DIR}
below() {
    case $1 in
    files) echo "" ;;
    engine) echo "files" ;;
    audit) echo "files engine" ;;
    users|setup|permissions|tasks) echo "files engine audit" ;;
    accounts) echo "files engine audit setup" ;;
    backup) echo "files engine audit users setup tasks accounts" ;;
    install) echo "files engine audit users setup permissions tasks accounts backup" ;;
    *) echo "?" ;;
    esac
}
status=0
for dir in "$core"/*/; do
    layer=$(basename "$dir")
    allowed=$(below "$layer")
    if [ "$allowed" = "?" ]; then
        echo "core/$layer: a folder without a place in the layers (add it to this check)"
        status=1
        continue
    fi
    for src in "$dir"*.h "$dir"*.cpp; do
        [ -e "$src" ] || continue
        for header in $(sed -n 's/^#include [<"]\([^>"]*\)[>"].*/\1/p' "$src"); do
            owner=$(cd "$core" && ls -d */"$header" 2>/dev/null | head -n 1)
            [ -n "$owner" ] || continue
            owner=${owner%%/*}
            [ "$owner" = "$layer" ] && continue
            case " $allowed " in
            *" $owner "*) ;;
            *) echo "core/$layer/$(basename "$src") includes $header of core/$owner, a folder above it"; status=1 ;;
            esac
        done
    done
done
[ $status -eq 0 ] && echo "core layers: every include points down"
exit $status
