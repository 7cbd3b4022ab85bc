#!/usr/bin/env bash
# Builds the packages of the checked-out commit twice, for this machine, from two fresh clones
# in folders of different names and depths, and checks that the two .deb and the .tar.gz are
# byte-identical and that no file in them names the folder it was built in. The first is
# packaged as by hand, plain cpack with no SOURCE_DATE_EPOCH (as package.sh does), the second
# with SOURCE_DATE_EPOCH set to the commit's time: the default must be that time. Uncommitted
# changes are not part of the commit and so not checked.
# usage: reproducible.sh
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
scripts/install-deps.sh build package
commit=$(git rev-parse HEAD)
commit_time=$(git log -1 --format=%ct)
[ -z "$(git status --porcelain --untracked-files=no)" ] ||
    echo "reproducible.sh: uncommitted changes are not checked, only commit $commit" >&2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
clones=("$work/one/trcheck" "$work/second/a-longer-folder/trcheck-$commit")
times=(default "$commit_time")
for i in 0 1; do
    clone=${clones[$i]}
    start=$SECONDS
    git clone -q --no-local --no-checkout "$repo" "$clone"
    git -C "$clone" checkout -q "$commit"
    # The packages need no test: the suite is left out to keep this quick.
    (cd "$clone" && cmake --preset native -DBUILD_TESTING=OFF >"$work/log" 2>&1 &&
        cmake --build --preset native -j2 >>"$work/log" 2>&1 &&
        if [ "${times[$i]}" = default ]; then
            env -u SOURCE_DATE_EPOCH cpack --preset native
        else
            SOURCE_DATE_EPOCH=${times[$i]} cpack --preset native
        fi >>"$work/log" 2>&1) || {
        cat "$work/log" >&2
        exit 1
    }
    echo "reproducible.sh: built and packaged $clone (SOURCE_DATE_EPOCH ${times[$i]})" \
        "in $((SECONDS - start)) s"
done

status=0
one=${clones[0]}/build two=${clones[1]}/build
packages=$(cd "$one" && ls ./*.deb ./*.tar.gz)
[ "$(echo "$packages" | wc -l)" -eq 3 ] || {
    echo "reproducible.sh: expected 3 packages, found: $packages" >&2
    exit 1
}
for package in $packages; do
    name=$(basename "$package")
    if cmp "$one/$name" "$two/$name"; then
        echo "reproducible.sh: $name identical ($(stat -c %s "$one/$name") bytes," \
            "sha256 $(sha256sum "$one/$name" | cut -c1-16))"
    else
        status=1
    fi
    # No file, control data included, names a build folder (nor the clone's folder).
    unpacked=$work/unpacked/$name
    mkdir -p "$unpacked"
    case $name in
    *.deb) dpkg-deb -R "$one/$name" "$unpacked" ;;
    *.tar.gz) tar xzf "$one/$name" -C "$unpacked" ;;
    esac
    if grep -rla -e "$work" -e "$repo" "$unpacked"; then
        echo "reproducible.sh: $name: the files above name a build folder" >&2
        status=1
    fi
done
[ "$status" -eq 0 ] && echo "reproducible.sh: the packages of $commit are reproducible"
exit "$status"
