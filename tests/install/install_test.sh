#!/usr/bin/env bash
# The installation: cmake --install of the build tree into a DESTDIR with the
# prefix /usr, checked as a Debian package or a software centre would check it.
#
#   install_test.sh BUILD_DIR VERSION
#
# The tree holds exactly the expected files; the desktop entry and the AppStream
# metadata validate; both manual pages render without a warning; the bash
# completion loads and completes; every option of every command's --help is in
# the manual page and the completion, and the words the completion offers for
# an option are the words the tool takes; the installed tool builds a library
# from the installed "Font16s" in an empty folder.
set -u
build="$1"
version="$2"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
dest="$tmp/dest"
usr="$dest/usr"
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

export LC_ALL=C.UTF-8 XDG_CACHE_HOME="$tmp/cache"
DESTDIR="$dest" cmake --install "$build" --prefix /usr >"$tmp/install.log" 2>&1 || {
    cat "$tmp/install.log"
    exit 1
}

# --- The tree: these files and the CMake package, nothing else. -------------
expected="usr/bin/dotforge
usr/bin/dotforge-cli
usr/share/applications/dotforge.desktop
usr/share/bash-completion/completions/dotforge-cli
usr/share/doc/dotforge/changelog.gz
usr/share/doc/dotforge/copyright
usr/share/dotforge/Font16s
usr/share/dotforge/JQT.HLP
usr/share/icons/hicolor/128x128/apps/dotforge.png
usr/share/icons/hicolor/48x48/apps/dotforge.png
usr/share/icons/hicolor/scalable/apps/dotforge.svg
usr/share/man/man1/dotforge-cli.1.gz
usr/share/man/man1/dotforge.1.gz
usr/share/metainfo/org.dotforge.Dotforge.metainfo.xml"
installed="$(cd "$dest" && find . -type f -o -type l | sed 's|^\./||' | grep -vE '^usr/lib(/[^/]+)?/cmake/Dotforge/' | sort)"
[ "$installed" = "$(sort <<<"$expected")" ] || fail "installed files differ from the expected ones:
$(diff <(sort <<<"$expected") <(echo "$installed"))"
ls "$usr"/lib/cmake/Dotforge/DotforgeConfig.cmake "$usr"/lib/*/cmake/Dotforge/DotforgeConfig.cmake 2>/dev/null | grep -q . ||
    fail "the CMake package is not in lib/cmake/Dotforge"
for program in dotforge dotforge-cli; do
    [ -x "$usr/bin/$program" ] || fail "bin/$program is not executable"
done
while read -r file; do
    [ "$(stat -c %a "$dest/$file")" = 644 ] || fail "$file is not rw-r--r--"
done < <(grep -v '^usr/bin/' <<<"$expected")
# The PNG icons are of the size their folder says (width and height at bytes 16 to 23).
for size in 48 128; do
    png="$usr/share/icons/hicolor/${size}x$size/apps/dotforge.png"
    [ "$(od -An -tx1 -j16 -N8 "$png" | tr -d ' \n')" = "$(printf '%08x%08x' "$size" "$size")" ] ||
        fail "icons/hicolor/${size}x$size/apps/dotforge.png is not $size x $size"
done
grep -q '<svg' "$usr/share/icons/hicolor/scalable/apps/dotforge.svg" || fail "the scalable icon is no SVG"
cmp -s "$usr/share/dotforge/Font16s" "$build/run/Font16s" || fail "share/dotforge/Font16s is not the generated Font16s"

# --- Desktop entry and AppStream metadata. ----------------------------------
desktop="$usr/share/applications/dotforge.desktop"
desktop-file-validate "$desktop" >"$tmp/validate.log" 2>&1 || fail "desktop-file-validate: $(cat "$tmp/validate.log")"
grep -qx 'Exec=dotforge' "$desktop" || fail "the desktop entry does not start bin/dotforge"
grep -qx 'Icon=dotforge' "$desktop" || fail "the desktop entry does not name the icon dotforge"
metainfo="$usr/share/metainfo/org.dotforge.Dotforge.metainfo.xml"
appstreamcli validate --no-net "$metainfo" >"$tmp/validate.log" 2>&1 || fail "appstreamcli: $(cat "$tmp/validate.log")"
grep -q "<launchable type=\"desktop-id\">dotforge.desktop</launchable>" "$metainfo" ||
    fail "the metadata does not launch dotforge.desktop"
grep -q "<release version=\"$version\" date=\"" "$metainfo" || fail "the metadata has no release $version"
grep -q '<image>https://' "$metainfo" || fail "the metadata has no screenshot"

# --- Manual pages: no warning at 80 columns. ---------------------------------
for page in dotforge dotforge-cli; do
    MANWIDTH=80 man --warnings -l "$usr/share/man/man1/$page.1.gz" >"$tmp/$page.txt" 2>"$tmp/$page.err"
    [ -s "$tmp/$page.err" ] && fail "man $page: $(cat "$tmp/$page.err")"
    grep -q "Dotforge $version" "$tmp/$page.txt" || fail "man $page does not name Dotforge $version"
done
cli="$usr/bin/dotforge-cli"
[ "$("$cli" --version)" = "dotforge-cli (Dotforge) $version" ] || fail "dotforge-cli --version is not $version"

# --- Bash completion. --------------------------------------------------------
# Runs the completion on the words given (the last one is completed) and
# prints what it offers, one a line.
cat >"$tmp/complete.sh" <<EOF
source /usr/share/bash-completion/bash_completion
source "$usr/share/bash-completion/completions/dotforge-cli"
complete -p dotforge-cli >/dev/null || exit 3
COMP_WORDS=("\$@")
COMP_CWORD=\$((\${#COMP_WORDS[@]} - 1))
COMP_LINE="\$*"
COMP_POINT=\${#COMP_LINE}
_dotforge_cli dotforge-cli "\${COMP_WORDS[COMP_CWORD]}" "\${COMP_WORDS[COMP_CWORD - 1]}"
printf '%s\n' "\${COMPREPLY[@]}"
EOF
offers() { bash "$tmp/complete.sh" dotforge-cli "$@" | sort; }
[ "$(offers build --pro)" = "--profile" ] || fail "'dotforge-cli build --pro' does not complete to --profile"

commands="$("$cli" --help | sed -n '/^Commands:/,/^$/p' | grep -oE '^  [a-z-]+' | tr -d ' ')"
[ "$(offers '')" = "$(printf '%s\n' $commands -h --help --version | sort)" ] || fail "the commands completed differ"
# The options of a help text: the names on its option lines.
help_options() { grep -E '^(  -[a-zA-Z0-9], --|      --)' | cut -c1-31 | grep -oE -- '(^| )--?[a-z0-9][a-z0-9-]*' | tr -d ' '; }
[ -n "$commands" ] || fail "no commands in dotforge-cli --help"
for command in $commands; do
    options="$("$cli" "$command" --help | help_options | sort -u)"
    [ -n "$options" ] || fail "$command --help lists no options"
    # The command's subsection of the manual page, up to the next one.
    section="$(awk -v c="$command" '$0 == "   " c {on = 1; next} on && /^(   )?[^ ]/ {exit} on' "$tmp/dotforge-cli.txt")"
    [ -n "$section" ] || fail "man dotforge-cli has no subsection $command"
    offered="$(offers "$command" -)"
    for option in $options; do
        grep -qE -- "(^|[^a-z-])$option([^a-z-]|$)" <<<"$section" || fail "man dotforge-cli: $command $option is missing"
        grep -qx -- "$option" <<<"$offered" || fail "completion: $command $option is missing"
    done
    # Nothing that its help does not name.
    for option in $offered; do
        "$cli" "$command" --help | grep -qE -- "(^|[^a-z-])$option([^a-z-]|$)" ||
            fail "completion: $command $option is not in its help"
    done
done
for option in $("$cli" --help | help_options); do
    grep -qE -- "(^|[^a-z-])$option([^a-z-]|$)" <<<"$(sed -n '/^OPTIONS/,/^[A-Z]/p' "$tmp/dotforge-cli.txt")" ||
        fail "man dotforge-cli: OPTIONS lacks $option"
done

# The words offered for an option are those the tool takes: its message for a
# bad word lists them. Each row: the command with what it needs to get as far
# as reading the option, then the option.
mkdir -p "$tmp/run"
cd "$tmp/run" || exit 1
while read -r option args; do
    # shellcheck disable=SC2086
    message="$("$cli" $args "$option" '@' 2>&1 >/dev/null)"
    words="$(sed -n "s/.*for '$option' (valid: \(.*\))\$/\1/p" <<<"$message" | sed 's/, /\n/g')"
    range="$(sed -n "s/.*for '$option' (an integer from \([0-9]*\) to \([0-9]*\))\$/\1 \2/p" <<<"$message")"
    [ -n "$range" ] && words="$(seq $range)"
    [ -n "$words" ] || fail "$args $option @: no list of valid words in: $message"
    # shellcheck disable=SC2086
    [ "$(offers $args "$option" '')" = "$(sort <<<"$words")" ] ||
        fail "completion of $args $option: $(offers $args "$option" '' | tr '\n' ' ')against the tool's $(tr '\n' ' ' <<<"$words")"
done <<'EOF'
--size build --text x -o x.c
--source build --text x -o x.c
--variant build --source font16s --text x -o x.c
--mode build --text x -o x.c
--profile build --text x -o x.c
--rotate build --text x -o x.c
--flip build --text x -o x.c
--swap build --text x -o x.c
--effects-at build --text x -o x.c
--charset build -o x.c
--set build --text x -o x.c
--key build --text x -o x.c
--grid build --text x -o x.bin --format grid
--format build --text x -o x.c
--charset collect .
--size convert --from A --to A x.ZMB y.ZMB
--from convert --size 16 --to A x.ZMB y.ZMB
--to convert --size 16 --from A x.ZMB y.ZMB
--profile convert --size 16 --from A x.ZMB y.ZMB
--format convert --size 16 --from A --to A x.ZMB y.ZMB
--to-format convert --size 16 --from A --to A x.ZMB y.ZMB
--set convert --size 16 --from A --to A x.ZMB y.ZMB
--variant convert --size 16 --from A --to A x.ZMB y.ZMB
--grid convert --size 16 --from A --to-format grid x.ZMB y.bin
--mode dump --size 16 x.ZMB
--format dump --size 16 --mode A x.ZMB
--set dump --size 16 --mode A x.ZMB
--profile proof --size 16 x.ZMB -o x.pdf
--source find-layout --size 16 --bytes 0000000000000000000000000000000000000000000000000000000000000000 --text x
--size find-layout --bytes 0000000000000000000000000000000000000000000000000000000000000000 --text x
EOF
# Files by extension, case ignored.
touch a.ZMB b.asm c.txt d.ttf e.pdf f.bdf
for row in "d.ttf f.bdf|build --font-file" "a.ZMB b.asm f.bdf|build -o" "a.ZMB b.asm|convert --size 16" \
    "a.ZMB b.asm f.bdf|convert a.ZMB" "e.pdf|proof -o" "a.ZMB b.asm c.txt d.ttf e.pdf f.bdf|collect"; do
    # shellcheck disable=SC2086
    [ "$(offers ${row#*|} '' | tr '\n' ' ')" = "${row%%|*} " ] || fail "completion of ${row#*|} offers $(offers ${row#*|} '' | tr '\n' ' ')"
done

# --- The installed tool, in an empty folder. ---------------------------------
mkdir "$tmp/empty"
cd "$tmp/empty" || exit 1
"$cli" build --source font16s --font16s "$usr/share/dotforge/Font16s" --text 中文 -o font.ZMB ||
    fail "the installed dotforge-cli cannot build from the installed Font16s"
[ "$("$cli" dump --size 16 --mode A font.ZMB | grep -c '^D6D0\|^CEC4')" = 2 ] || fail "the library built holds other glyphs"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$usr/bin/dotforge" 2>"$tmp/window.err"
[ $? = 1 ] && grep -q 'needs a display' "$tmp/window.err" || fail "the installed dotforge does not start: $(cat "$tmp/window.err")"

# Without --font16s the installed tool finds "Font16s" under
# $XDG_DATA_DIRS/dotforge, and, with no data folder that holds it, in its own
# installation's share/dotforge (here a prefix no data folder names).
XDG_DATA_DIRS="$usr/share" XDG_DATA_HOME="$tmp/none" "$cli" build --source font16s --text 中文 -o xdg.ZMB &&
    cmp -s xdg.ZMB font.ZMB || fail "dotforge-cli does not find the installed Font16s in \$XDG_DATA_DIRS"
XDG_DATA_DIRS="$tmp/none" XDG_DATA_HOME="$tmp/none" "$cli" build --source font16s --text 中文 -o own.ZMB &&
    cmp -s own.ZMB font.ZMB || fail "dotforge-cli does not find the Font16s of its own installation"

[ "$failures" = 0 ] && echo "the installation holds what it should"
[ "$failures" = 0 ]
