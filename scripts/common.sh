# Shared by the scripts: installs the Debian packages that are missing.
# Sourced, not run.

# Usage: need_packages PACKAGE...
need_packages() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q '^install ok installed$'; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing missing Debian packages: ${missing[*]}" >&2
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# What building the program needs (with Qt's own Bulgarian texts, which it
# carries inside, and Qt's platform interface for the accessibility test), and the fonts it is drawn in (Liberation Serif stands in
# for Times New Roman, with Cyrillic letters).
build_packages=(cmake make g++ pkg-config qt6-base-dev qt6-base-private-dev qt6-translations-l10n
    doctest-dev libfast-float-dev nlohmann-json3-dev fonts-liberation2 fontconfig)

# Configures a build folder once; later runs only build what changed.
# CI turns warnings into errors.
# Usage: configure_build BUILD-DIR [CMAKE-OPTION...]
configure_build() {
    local build_dir=$1
    shift
    if [ ! -f "$build_dir/CMakeCache.txt" ]; then
        local options=("$@")
        [ "${CI:-}" = true ] && options+=(-DCMAKE_COMPILE_WARNING_AS_ERROR=ON)
        cmake -S . -B "$build_dir" "${options[@]}"
    fi
}

# What the Windows program needs: Debian's mingw-w64 for 32-bit x86, the
# header-only libraries, and wixl and msitools for the Windows Installer
# package.
windows_build_packages=(cmake make doctest-dev libfast-float-dev nlohmann-json3-dev
    g++-mingw-w64-i686 binutils-mingw-w64-i686 wixl msitools)
# What its tests need: 32-bit Wine on a virtual X display, pev to read the
# program's protections, and python3-xlib to see the installed program's
# window.
windows_test_packages=(wine wine32 fonts-wine fonts-liberation2 xvfb xauth pev python3 python3-xlib)

# wine32 is a package of the i386 architecture, which dpkg must know first.
need_i386_architecture() {
    dpkg --print-foreign-architectures | grep -qx i386 && return 0
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Adding the i386 architecture to dpkg, for 32-bit Wine" >&2
    "${sudo[@]}" dpkg --add-architecture i386
    "${sudo[@]}" apt-get update -qq
}

# What the web page needs: Debian's emscripten, and Node to run its tools.
web_build_packages=(cmake make emscripten doctest-dev libfast-float-dev nlohmann-json3-dev)
# What its tests need: Debian's Chromium and Firefox ESR, driven by Playwright
# from npm.
web_test_packages=(chromium firefox-esr fonts-liberation2 poppler-utils)

# Playwright and axe-core, at the versions of tests/web/package-lock.json,
# into a folder of the build; installed again only when the lock file changes.
# Usage: need_web_test_modules FOLDER
need_web_test_modules() {
    local folder=$1
    cmp -s tests/web/package-lock.json "$folder/node_modules/.planini-lock" && return 0
    # The machine's own Node may bring its own npm, not Debian's.
    command -v npm > /dev/null || need_packages npm
    mkdir -p "$folder"
    cp tests/web/package.json tests/web/package-lock.json "$folder/"
    (cd "$folder" && npm ci --no-audit --no-fund --loglevel=error)
    cp tests/web/package-lock.json "$folder/node_modules/.planini-lock"
}
