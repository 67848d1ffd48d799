# Shared by run.sh and test.sh: installs the Debian packages the project needs and runs
# commands under a virtual display when there is none.

QUORVEL_PACKAGES="cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools
    libqt6opengl6-dev qt6-qpa-plugins libgl-dev libglu1-mesa-dev libgl1-mesa-dri
    libgtest-dev libgmock-dev libbenchmark-dev libgif-dev libpng-dev libjpeg-dev libnetcdf-dev xvfb xauth fonts-dejavu-core"

ensure_packages() {
    local missing=""
    for p in $QUORVEL_PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
    done
    if [ -n "$missing" ]; then
        echo "Installing:$missing"
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo="sudo"
        $sudo apt-get update -q
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $missing
    fi
}

# configure DIR [CMAKE_ARGS...]
configure() {
    local dir="$1"; shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
}

# configure_and_build DIR [CMAKE_ARGS...]: every target, tests and benchmarks included.
configure_and_build() {
    configure "$@"
    cmake --build "$1"
}

with_display() {
    if [ -n "${DISPLAY:-}" ]; then
        "$@"
    else
        xvfb-run -a -s "-screen 0 1920x1080x24" "$@"
    fi
}
