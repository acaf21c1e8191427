#!/bin/bash
# Installs the build into a temporary prefix and checks that the installed verdan-cli finds its
# libraries and data there and prints the same reports as the build tree.
#   installed_report_test.sh BUILD_DIR WORK_DIR
set -euo pipefail
build=$1
work=$2
prefix=$work/prefix
rm -rf "$work"
mkdir -p "$work"
cmake --install "$build" --prefix "$prefix" > "$work/install.log"

test -x "$prefix/bin/verdan" || { echo "verdan not installed"; exit 1; }
test -f "$prefix/lib/verdan/libpmverdan.so" || { echo "libpmverdan.so not installed"; exit 1; }
test -f "$prefix/lib/verdan/libdorvex.so" || { echo "libdorvex.so not installed"; exit 1; }
test -f "$prefix/share/verdan/help/verdan-help.html" || { echo "help not installed"; exit 1; }
test -f "$prefix/share/man/man1/verdan-cli.1" || { echo "man page not installed"; exit 1; }
test -f "$prefix/share/applications/org.verdan.Verdan.desktop" || { echo "no desktop entry"; exit 1; }

test -x "$prefix/lib/verdan/make-demo-globe" || { echo "make-demo-globe not installed"; exit 1; }
test -f "$prefix/share/verdan/demo-raster-synthetic.tif" || { echo "demo raster not installed"; exit 1; }
test -f "$prefix/share/verdan/demo-tiles-synthetic/SYNTHETIC-DATA.txt" || { echo "demo tiles not installed"; exit 1; }
test -f "$prefix/share/verdan/demo-data.md" || { echo "demo-data.md not installed"; exit 1; }

# The package's scripts write and remove the demo GLOBE set with the installed tool.
for script in postinst postrm; do
    sh -n "$build/packaging/debian/$script" || { echo "$script does not parse"; exit 1; }
done
grep -q "/usr/lib/verdan/make-demo-globe /usr/share/verdan/demo-globe-synthetic/" \
    "$build/packaging/debian/postinst" || { echo "postinst does not write the demo set"; exit 1; }
# As postinst does on the installed machine:
"$prefix/lib/verdan/make-demo-globe" "$prefix/share/verdan/demo-globe-synthetic/" > /dev/null

# Nothing in the install may point back into the build tree.
if readelf -d "$prefix/bin/verdan-cli" | grep -q "$build"; then
    echo "verdan-cli still refers to the build tree"; exit 1
fi

for args in "area" "area --freq 900 --h1 30 --pol H --format csv" "inverse --loss 140"; do
    # shellcheck disable=SC2086
    "$build/bin/verdan-cli" $args > "$work/build.out"
    # shellcheck disable=SC2086
    "$prefix/bin/verdan-cli" $args > "$work/installed.out"
    if ! cmp -s "$work/build.out" "$work/installed.out"; then
        echo "verdan-cli $args differs between the build tree and the installation:"
        diff "$work/build.out" "$work/installed.out" | head -20
        exit 1
    fi
done
# The README's and the help's point-to-point examples on the installed demo terrain.
examples=(
    "--tx 39.08,-76.7 --rx 38.92,-76.98 --globe-path %s/demo-globe-synthetic/"
    "--tx 39.08,-76.7 --rx 38.92,-76.98 --terrain raster --dem %s/demo-tiles-synthetic/"
    "--tx 40.05,-105.26 --rx 39.97,-105.47 --terrain raster --dem %s/demo-raster-synthetic.tif"
)
for example in "${examples[@]}"; do
    # shellcheck disable=SC2059
    built=$(printf -- "$example" "$build/share/verdan")
    # shellcheck disable=SC2059
    installed=$(printf -- "$example" "$prefix/share/verdan")
    # shellcheck disable=SC2086
    "$build/bin/verdan-cli" p2p $built > "$work/build.out"
    # shellcheck disable=SC2086
    "$prefix/bin/verdan-cli" p2p $installed > "$work/installed.out"
    # The reports name the terrain's folder: compare them with the two folders made alike.
    sed -i "s#$build/share/verdan#SHARE#g" "$work/build.out"
    sed -i "s#$prefix/share/verdan#SHARE#g" "$work/installed.out"
    if ! cmp -s "$work/build.out" "$work/installed.out"; then
        echo "verdan-cli p2p $example differs between the build tree and the installation:"
        diff "$work/build.out" "$work/installed.out" | head -20
        exit 1
    fi
done
echo "installed reports: 6 passed, 0 failed"
