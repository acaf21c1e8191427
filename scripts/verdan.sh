#!/usr/bin/env bash
# Set up, build, start or test Verdan on Debian 12.
#   scripts/verdan.sh run    install what is missing, build, start the program
#   scripts/verdan.sh test   install what is missing, build, run every test
#   scripts/verdan.sh build  install what is missing and build only
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${VERDAN_BUILD_DIR:-$here/build}
asan_build=${VERDAN_ASAN_BUILD_DIR:-$here/build-asan}
jobs=$(nproc)

# Everything the build, the tests and the run use. Qt Charts' CMake package needs Qt's OpenGL
# one (libqt6opengl6-dev); the locale tests generate de_DE.UTF-8 from the `locales` sources;
# the Slurm route's test starts a private single-node cluster (Slurm and MUNGE).
packages=(
    build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
    qt6-base-dev qt6-base-dev-tools qt6-charts-dev qt6-svg-dev libqt6sql6-sqlite
    libqt6opengl6-dev
    libgtest-dev libgmock-dev libbenchmark-dev libgeographiclib-dev libgdal-dev gdal-bin
    xvfb xauth xfonts-base fonts-dejavu-core locales poppler-utils
    desktop-file-utils appstream man-db dpkg-dev file parallel
    slurmctld slurmd slurm-client munge
)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    if ((${#missing[@]})); then
        echo "Installing: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo=sudo
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

build_main() {
    local ci_flags=()
    if [ -n "${CI:-}" ]; then
        # Warnings are errors; the same optimisation as a normal build, without debug
        # information, which nobody reads in CI and which slows compiling and linking.
        ci_flags=(-DVERDAN_WERROR=ON "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG"
                  "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG")
    fi
    cmake -S "$here" -B "$build" -G Ninja "${ci_flags[@]}"
    cmake --build "$build" -j "$jobs"
}

build_sanitized() {
    local werror=OFF
    [ -n "${CI:-}" ] && werror=ON
    cmake -S "$here" -B "$asan_build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVERDAN_WERROR=$werror \
        -DVERDAN_BUILD_GUI=OFF -DVERDAN_SANITIZE=address,undefined
    cmake --build "$asan_build" -j "$jobs"
}

case "${1:-}" in
run)
    install_missing
    build_main
    if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
        exec xvfb-run -a "$build/bin/verdan"
    fi
    exec "$build/bin/verdan"
    ;;
test)
    install_missing
    build_main
    (cd "$build" && ctest -j "$jobs" --output-on-failure --timeout 600)
    # The plain C++ libraries again under AddressSanitizer and UndefinedBehaviorSanitizer.
    build_sanitized
    (cd "$asan_build" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest -j "$jobs" --output-on-failure --timeout 900)
    ;;
build)
    install_missing
    build_main
    ;;
*)
    echo "usage: $0 run|test|build" >&2
    exit 2
    ;;
esac
