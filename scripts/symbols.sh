#!/usr/bin/env bash
# What libzappbase.so.1 exports, against packaging/libzappbase1/symbols: the Debian symbols
# file that lists every exported symbol, demangled, with the version that brought it, tagged
# with the architectures that export it when not all do (where a type's size changes the
# mangled name). The packages ship it for each architecture (cmake/PackagingStage.cmake).
# usage:
#   symbols.sh check ARCH LIBRARY [LIST]
#       the library, built for the Debian architecture ARCH, exports exactly what LIST
#       (default packaging/libzappbase1/symbols) lists for ARCH; package.sh runs it
#   symbols.sh update
#       after an intended change of the interface: builds the library for this machine and for
#       i386, armel and armhf, and writes packaging/libzappbase1/symbols anew
#   symbols.sh write LIST VERSION ARCH=LIBRARY...
#       writes LIST from the libraries given: a symbol LIST holds already keeps its version,
#       a new one gets VERSION
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
list=packaging/libzappbase1/symbols # in the repository
header='libzappbase.so.1 libzappbase1 #MINVER#'
regenerate="scripts/symbols.sh update"

# exported LIBRARY: the symbols the library defines and exports, demangled, one a line, sorted
exported() {
    local symbols
    symbols=$(readelf --dyn-syms --wide "$1") # a pipe into awk would hide readelf failing
    awk '$5 != "LOCAL" && $6 == "DEFAULT" && $7 != "UND" && $7 != "ABS" && NF >= 8 { print $8 }' \
        <<<"$symbols" | c++filt | LC_ALL=C sort -u
}

# Separates the fields of an entry: no symbol name holds it, and unlike a tab it keeps an empty
# field when read.
us=$'\x1f'

# entries LIST: "ARCHES NAME VERSION", separated by $us, for every entry of LIST, ARCHES empty
# when it holds for every architecture; fails on a line it cannot read rather than skip it
entries() {
    local line number=0 tags name version arches tag cxx
    while IFS= read -r line || [ -n "$line" ]; do
        number=$((number + 1))
        case $line in
        '' | '#'* | '*'*) continue ;;           # blank, comment, field
        [!\ ]*) [ "$number" -eq 1 ] && continue ;; # the library's line
        esac
        if [[ ! $line =~ ^\ \(([^\)]*)\)\"(.+)@Base\"\ ([^ ]+)$ ]]; then
            echo "symbols.sh: $1:$number: not an entry ' (c++)\"NAME@Base\" VERSION':" \
                "$line" >&2
            return 1
        fi
        name=${BASH_REMATCH[2]} version=${BASH_REMATCH[3]} arches='' cxx=no
        IFS='|' read -ra tags <<<"${BASH_REMATCH[1]}"
        for tag in "${tags[@]}"; do
            case $tag in
            c++) cxx=yes ;;
            arch=?*) arches=${tag#arch=} ;;
            *)
                echo "symbols.sh: $1:$number: unknown tag '$tag'" >&2
                return 1
                ;;
            esac
        done
        [ "$cxx" = yes ] || {
            echo "symbols.sh: $1:$number: no (c++) tag: $line" >&2
            return 1
        }
        printf '%s\n' "$arches$us$name$us$version"
    done <"$1"
}

# holds ARCH ARCHES: whether an entry tagged for ARCHES ("i386 armel", "!amd64", or empty for
# all) holds for ARCH
holds() {
    local arch=$1 item negated=no listed=no
    [ -n "$2" ] || return 0
    for item in $2; do
        case $item in
        "!$arch") return 1 ;;
        '!'*) negated=yes ;;
        "$arch") listed=yes ;;
        esac
    done
    [ "$listed" = yes ] || [ "$negated" = yes ]
}

# listed ARCH LIST: the names LIST lists for ARCH, sorted
listed() {
    local entries arches name version
    entries=$(entries "$2")
    while IFS=$us read -r arches name version; do
        if holds "$1" "$arches"; then printf '%s\n' "$name"; fi
    done <<<"$entries" | LC_ALL=C sort -u
}

check() {
    local arch=$1 library=$2 file=${3:-$repo/$list} status=0
    exported "$library" >"$work/exported"
    listed "$arch" "$file" >"$work/listed"
    [ -s "$work/exported" ] || {
        echo "symbols.sh: $library exports nothing" >&2
        return 1
    }
    if LC_ALL=C comm -23 "$work/exported" "$work/listed" | grep . >"$work/new"; then
        echo "symbols.sh: $library ($arch) exports what $file does not list:" >&2
        sed 's/^/    /' "$work/new" >&2
        status=1
    fi
    if LC_ALL=C comm -13 "$work/exported" "$work/listed" | grep . >"$work/gone"; then
        echo "symbols.sh: $library ($arch) does not export what $file lists:" >&2
        sed 's/^/    /' "$work/gone" >&2
        status=1
    fi
    [ "$status" -eq 0 ] || echo "symbols.sh: if the interface changed on purpose," \
        "run $regenerate and commit $list" >&2
    return "$status"
}

write() {
    local file=$1 current=$2 pair arch exports entries arches name version all=()
    local -A versions=() archesOf=()
    shift 2
    if [ -f "$file" ]; then
        entries=$(entries "$file")
        while IFS=$us read -r arches name version; do
            [ -z "$name" ] || versions[$name]=$version
        done <<<"$entries"
    fi
    for pair in "$@"; do
        arch=${pair%%=*}
        all+=("$arch")
        exports=$(exported "${pair#*=}")
        while IFS= read -r name; do
            [ -n "$name" ] || continue
            archesOf[$name]+="${archesOf[$name]:+ }$arch"
        done <<<"$exports"
    done
    {
        echo "$header"
        printf '%s\n' "${!archesOf[@]}" | LC_ALL=C sort | while IFS= read -r name; do
            arches=${archesOf[$name]}
            [ "$arches" = "${all[*]}" ] && arches=
            printf ' (%sc++)"%s@Base" %s\n' "${arches:+arch=$arches|}" "$name" \
                "${versions[$name]:-$current}"
        done
    } >"$work/list"
    mv "$work/list" "$file"
}

update() {
    local version native target build arch pairs=()
    cd "$repo"
    version=$(sed -n 's/^project(trcheck VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
    native=$(dpkg --print-architecture)
    for target in native i386 armel armhf; do
        if [ "$target" = native ]; then
            scripts/install-deps.sh build package
            build=build arch=$native
        else
            scripts/install-deps.sh build package "$target"
            scripts/sysroot.sh "$target"
            build=build-$target arch=$target
        fi
        echo "symbols.sh: building the library for $arch in $build/"
        cmake --preset "$target" >/dev/null
        cmake --build --preset "$target" --target zappbase -j"$(nproc)" >/dev/null
        pairs+=("$arch=$build/platform/libzappbase.so.1")
    done
    write "$list" "$version" "${pairs[@]}"
    echo "symbols.sh: wrote $list; check the difference before committing it:"
    git --no-pager diff -- "$list"
}

usage() {
    echo "usage: $0 check ARCH LIBRARY [LIST] | update | write LIST VERSION ARCH=LIBRARY..." >&2
    exit 2
}
case ${1:-} in
check)
    [ $# -ge 3 ] && [ $# -le 4 ] || usage
    check "${@:2}"
    ;;
update)
    [ $# -eq 1 ] || usage
    update
    ;;
write)
    [ $# -ge 4 ] || usage
    write "${@:2}"
    ;;
*) usage ;;
esac
