# Shared by scripts/play and scripts/test: installs the Debian packages the
# project needs that are not there yet, then builds. Sourced, not run.

SKARVELIN_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

SKARVELIN_BUILD_PACKAGES="cmake g++ pkg-config make libgl-dev libglu1-mesa-dev freeglut3-dev libgl1-mesa-dri \
libx11-dev libegl-dev libegl-mesa0 libjpeg62-turbo-dev libsdl2-mixer-dev libmpg123-dev libmp3lame-dev libpng-dev ffmpeg \
git dpkg-dev file"
SKARVELIN_TEST_PACKAGES="libgtest-dev xvfb xdotool x11-utils libjpeg-turbo-progs lame imagemagick clang libclang-rt-14-dev \
man-db clang-format"

# install_packages PACKAGE...: apt-get installs whichever of them dpkg does not know.
install_packages() {
    local missing=()
    local package
    for package in "$@"; do
        dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then
            sudo="sudo"
        else
            echo "Missing packages. As root, run:" >&2
            echo "  apt-get install -y ${missing[*]}" >&2
            exit 1
        fi
    fi
    echo "Installing ${missing[*]}" >&2
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q >&2 || exit 1
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}" >&2 || exit 1
}

# forget_moved_build FOLDER: a build folder configured where the clone or the
# folder used to be names the old paths in its CMake cache, which CMake then
# refuses; such a cache, and what was made from it, is removed.
forget_moved_build() {
    local folder=$1
    local cache="$folder/CMakeCache.txt"
    [ -f "$cache" ] || return 0
    local source built
    source=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$cache")
    built=$(sed -n 's/^CMAKE_CACHEFILE_DIR:INTERNAL=//p' "$cache")
    if [ "$source" != "$SKARVELIN_ROOT" ] || [ "$built" != "$(cd "$folder" && pwd)" ]; then
        echo "The build in $folder was configured for ${source:-another folder}: configuring it anew" >&2
        rm -rf "$cache" "$folder/CMakeFiles"
    fi
}

# build_project FOLDER [CMAKE OPTION...]: configures (once) and builds in FOLDER.
build_project() {
    local folder=$1
    shift
    forget_moved_build "$folder"
    cmake -S "$SKARVELIN_ROOT" -B "$folder" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null || exit 1
    cmake --build "$folder" -j "$(nproc)" >&2 || exit 1
}
