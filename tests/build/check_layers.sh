#!/usr/bin/env bash
# Includes run downwards only, with no exception:
#   core/  <-  sources/ editor/ library/ formats/ print/  <-  workspace/
#          <-  render/, */widgets/  <-  app/, cli/
# The ground (core/) names no folder above it; a subsystem includes the ground
# and itself, never another subsystem; the workspace stands on the subsystems;
# render/ adds nothing of the window; the widgets never reach app/ or cli/ (but
# app/widgets, the main window's own); cli/ never includes a widget or app/.
# Qt headers belong to the widgets and app/ only. Two folders never include
# each other.
# Prints every include that breaks a rule and exits 1 when there is one.
set -u
root="${1:-.}"
cd "$root" || exit 2
status=0
subsystems='(sources|editor|library|formats|print)'
edges=$(mktemp)
trap 'rm -f "$edges"' EXIT

while IFS= read -r file; do
    case "$file" in
    core/*) allowed='^core/[^/]*$'; qt=no ;;
    app/*) allowed='.'; qt=yes ;;
    */widgets/*) allowed="^(core|$subsystems|workspace|render)/[^/]*$|^[a-z]+/widgets/"; qt=yes ;;
    workspace/*) allowed="^(core|$subsystems|workspace)/[^/]*$"; qt=no ;;
    render/*) allowed="^(core|$subsystems|render)/[^/]*$"; qt=no ;;
    cli/*) allowed="^(core|$subsystems|render|cli)/"; qt=no ;;
    sources/* | editor/* | library/* | formats/* | print/*) allowed="^(core|${file%%/*})/[^/]*$"; qt=no ;;
    *) continue ;;
    esac
    folder="${file%/*}"
    while IFS= read -r line; do
        include="${line#*#include }"
        case "$include" in
        \"*\")
            path="${include#\"}"
            path="${path%\"}"
            # A file next to this one.
            [[ "$path" != */* ]] && continue
            [[ "${path%/*}" != "$folder" ]] && echo "$folder ${path%/*}" >>"$edges"
            if ! [[ "$path" =~ $allowed ]] || { [[ "$file" != app/* ]] && [[ "$path" == app/widgets/* ]]; }; then
                echo "$file: includes \"$path\", a layer above it or beside it"
                status=1
            fi
            ;;
        \<Q*)
            if [ "$qt" = no ]; then
                echo "$file: includes $include; Qt belongs to the widgets and app/"
                status=1
            fi
            ;;
        esac
    done < <(grep -E '^[[:space:]]*#[[:space:]]*include' "$file")
done < <(find core sources editor library formats print workspace render app cli -type f \( -name '*.cpp' -o -name '*.h' \) | sort)

# Two folders that include each other.
while read -r a b; do
    if [[ "$a" < "$b" ]] && grep -qx "$b $a" "$edges"; then
        echo "$a and $b include each other"
        status=1
    fi
done < <(sort -u "$edges")

[ "$status" -eq 0 ] && echo "includes run downwards only"
exit "$status"
