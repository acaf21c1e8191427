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
echo "installed reports: 3 passed, 0 failed"
