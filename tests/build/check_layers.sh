#!/usr/bin/env bash
# Includes run downwards only:
#   core/  <-  sources/ editor/ library/ formats/ print/  <-  render/, */widgets/  <-  app/, cli/
# core/ includes only core/ and the plain state structs the subsystems own
# (*/NAME_state.h: data, no logic), which the workspace holds as its rooms; a
# subsystem's core files include core/ and the other
# subsystems' core files; render/ adds nothing of the window; the widgets never
# reach app/ or cli/ (but app/widgets, the main window's own); cli/ never
# includes a widget or app/. Qt headers belong to the widgets and app/ only.
# Prints every include that breaks a rule and exits 1 when there is one.
set -u
root="${1:-.}"
cd "$root" || exit 2
status=0
subsystems='(sources|editor|library|formats|print)'

while IFS= read -r file; do
    case "$file" in
    core/*) allowed="^(core/|$subsystems/[a-z_]+_state\\.h$)"; qt=no ;;
    app/widgets/*) allowed='.'; qt=yes ;;
    app/*) allowed='.'; qt=yes ;;
    */widgets/*) allowed="^(core/|$subsystems/|render/|[a-z]+/widgets/)"; qt=yes ;;
    render/*) allowed="^(core|$subsystems|render)/[^/]*$"; qt=no ;;
    cli/*) allowed="^(core|$subsystems|render|cli)/[^/]*$"; qt=no ;;
    sources/* | editor/* | library/* | formats/* | print/*) allowed="^(core|$subsystems)/[^/]*$"; qt=no ;;
    *) continue ;;
    esac
    while IFS= read -r line; do
        include="${line#*#include }"
        case "$include" in
        \"*\")
            path="${include#\"}"
            path="${path%\"}"
            # A file next to this one.
            [[ "$path" != */* ]] && continue
            if ! [[ "$path" =~ $allowed ]] || { [[ "$file" != app/widgets/* ]] && [[ "$path" == app/widgets/* ]] && [[ "$file" != app/* ]]; }; then
                echo "$file: includes \"$path\", a layer above it"
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
done < <(find core sources editor library formats print render app cli -type f \( -name '*.cpp' -o -name '*.h' \) | sort)

[ "$status" -eq 0 ] && echo "includes run downwards only"
exit "$status"
