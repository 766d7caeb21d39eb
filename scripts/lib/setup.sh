# Installs, with apt-get, whatever the build and its tests need and this
# machine lacks. Source it and call ensure_packages.

TORVANE_PACKAGES=(
    cmake ninja-build g++ googletest clang-format
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64 mingw-w64-tools
    wine wine64 fonts-wine xvfb x11-utils imagemagick
    osslsigncode openssl python3-jsonschema
)

ensure_packages() {
    local missing=() package
    for package in "${TORVANE_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    # Node and npm run the PowerShell grammar scripts/check-deploy reads the
    # deployment kit with; a machine that has both from elsewhere keeps them.
    command -v node >/dev/null && command -v npm >/dev/null || missing+=(nodejs npm)
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq &&
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
            "${missing[@]}" >/dev/null
}
