#!/usr/bin/env bash
# Makes the seeds of the catalog fuzz target (corpus/ beside this script) from the catalog
# sources in sources/, each compiled by lrelease as it is and with -compress. A seed is up to
# four catalogs separated by "\n=qm=\n", which the target writes as a_de.qm to d_de.qm; the
# sources name one another that way in their dependencies.
# usage: fuzz/catalogs/seeds.sh [LRELEASE]
set -euo pipefail
cd "$(dirname "$0")"
lrelease=${1:-/usr/lib/qt6/bin/lrelease}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for ts in sources/*.ts; do
    name=$(basename "$ts" .ts)
    "$lrelease" -silent "$ts" -qm "$work/$name.qm"
    "$lrelease" -silent -compress "$ts" -qm "$work/$name.compressed.qm"
done
mkdir -p corpus
# seed NAME CATALOG...: the catalogs, in the order a_de.qm, b_de.qm, ...
seed() {
    local name=$1 catalog separator=
    shift
    for catalog; do
        printf %s "$separator"
        cat "$work/$catalog.qm"
        separator=$'\n=qm=\n'
    done >"corpus/$name"
}
seed messages messages_de messages_de.compressed
seed dependencies meta_de empty-meta_de shared_de base_de.compressed
seed dependencies-compressed meta_de.compressed empty-meta_de.compressed shared_de.compressed base_de
seed loop loop_de messages_de.compressed
seed plurals plurals_ar plurals_pl.compressed messages_de
