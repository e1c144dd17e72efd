#!/usr/bin/env bash
# The tree is formatted with the project's .clang-format: prints every C++ file
# that clang-format would change and exits 1 when there is one.
set -u
root="${1:-.}"
cd "$root" || exit 2
format="${CLANG_FORMAT:-clang-format}"
if ! command -v "$format" >/dev/null; then
    echo "$format is not installed (Debian: apt-get install clang-format)" >&2
    exit 2
fi
status=0
while IFS= read -r file; do
    if ! "$format" --style=file --dry-run --Werror "$file" >/dev/null 2>&1; then
        echo "$file differs from clang-format; run: $format -i $file"
        status=1
    fi
done < <(find core sources editor library formats print workspace render app cli tools tests bench \
    -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
[ "$status" -eq 0 ] && echo "every file is formatted"
exit "$status"
