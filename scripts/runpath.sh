#!/usr/bin/env bash
# Checks the library search paths (RPATH and RUNPATH) of every ELF program and library among
# the given files and folders: no path may hold an empty entry, which the loader takes as the
# working directory, so that a library dropped there would be loaded. readelf reads the
# targets' files as well as this machine's.
# usage: runpath.sh FILE|DIR...
set -euo pipefail
status=0 checked=0
while IFS= read -r -d '' file; do
    [ "$(head -c 4 "$file" | od -An -tx1 | tr -d ' \n')" = 7f454c46 ] || continue
    checked=$((checked + 1))
    while IFS= read -r path; do
        case ":$path:" in
        *::*)
            echo "runpath.sh: $file: empty entry in the search path '$path'" >&2
            status=1
            ;;
        esac
    done < <(readelf -d "$file" | sed -n 's/.*(R\(UN\)\{0,1\}PATH).*: \[\(.*\)\]$/\2/p')
done < <(find "$@" -type f \( -perm -u+x -o -name '*.so*' \) -print0)
[ "$checked" -gt 0 ] || {
    echo "runpath.sh: no ELF file in $*" >&2
    exit 1
}
exit "$status"
