# Installs the Debian packages named as arguments when any of them is missing.
ensure_packages() {
    local missing=()
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages: ${missing[*]}. Run this script as root, or install them with apt-get." >&2
        return 1
    fi
    echo "Installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# What a Release build of the program needs.
PROGRAM_PACKAGES=(cmake ninja-build g++ pkg-config libjpeg62-turbo-dev libgif-dev qt6-base-dev
                  libudev-dev qt6-translations-l10n)

# Everything the build, the tests and the fixture makers need.
BUILD_PACKAGES=(cmake ninja-build g++ pkg-config googletest libgtest-dev libgmock-dev
                libbenchmark-dev clang libclang-rt-14-dev ntfs-3g dosfstools mtools fdisk
                libjpeg62-turbo-dev libgif-dev qt6-base-dev libudev-dev qt6-translations-l10n)

# What scripts/make-search-fixtures needs to write its images.
SEARCH_FIXTURE_PACKAGES=(dosfstools mtools ffmpeg)
