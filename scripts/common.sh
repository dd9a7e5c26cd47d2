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
    # A package list that could not be fetched (a mirror in the middle of a
    # sync, say) need not stop the install: the lists at hand may do.
    "${sudo[@]}" apt-get update -qq ||
        echo "Some Debian package lists could not be updated; installing with those at hand." >&2
    if ! DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq \
        --no-install-recommends "${missing[@]}"; then
        echo "Could not install the Debian packages ${missing[*]}: apt-get says why above." >&2
        return 1
    fi
}

# What building the program needs (with Qt's own Bulgarian texts, which it
# carries inside, and Qt's platform interface for the accessibility test), and the fonts it is drawn in (Liberation Serif stands in
# for Times New Roman, with Cyrillic letters).
build_packages=(cmake make g++ pkg-config qt6-base-dev qt6-base-private-dev qt6-translations-l10n
    doctest-dev libfast-float-dev nlohmann-json3-dev fonts-liberation2 fontconfig)

# What a test needs to start a program on a virtual X display and see its
# window there (scripts/xwindow.py).
display_packages=(xvfb xauth python3 python3-xlib)

# Configures a build folder once; later runs only build what changed, and
# the build re-runs CMake itself where it must. A first configure that failed
# or was cut short leaves a cache but no Makefile: that folder is configured
# afresh, since its cache may hold what made it fail. CI turns warnings into
# errors.
# Usage: configure_build [emcmake] BUILD-DIR [CMAKE-OPTION...]
configure_build() {
    local wrapper=()
    if [ "$1" = emcmake ]; then
        wrapper=(emcmake)
        shift
    fi
    local build_dir=$1
    shift
    [ -f "$build_dir/CMakeCache.txt" ] && [ -f "$build_dir/Makefile" ] && return 0
    local options=("$@")
    [ "${CI:-}" = true ] && options+=(-DCMAKE_COMPILE_WARNING_AS_ERROR=ON)
    "${wrapper[@]}" cmake --fresh -S . -B "$build_dir" "${options[@]}"
}

# What the Windows programs need: Debian's mingw-w64 for 32-bit and 64-bit
# x86, the header-only libraries, and wixl and msitools for the Windows
# Installer packages, run by faketime with the clock stopped at the
# package's time.
windows_build_packages=(cmake make doctest-dev libfast-float-dev nlohmann-json3-dev
    g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
    wixl msitools faketime)
# What their tests need to read the built files: pev and python3-pefile for
# the programs, msitools for the packages; and to sign them with a key of
# their own, OpenSSL and osslsigncode.
windows_check_packages=(pev python3 python3-pefile msitools openssl osslsigncode)
# And to run the programs: Wine on a virtual X display, and python3-xlib to
# see the installed program's window; then 32-bit Wine (wine32, of dpkg's
# i386 architecture) for the x86 program, or 64-bit Wine for the x64 one.
wine_packages=(wine fonts-wine fonts-liberation2 "${display_packages[@]}")

# The build folder and toolchain file of each Windows program.
declare -A windows_folders=([x86]=build-windows [x64]=build-windows/x64)
declare -A windows_toolchains=([x86]=cmake/mingw-w64-i686.cmake [x64]=cmake/mingw-w64-x86_64.cmake)

# Usage: need_wine x86|x64
need_wine() {
    if [ "$1" = x64 ]; then
        need_packages "${wine_packages[@]}" wine64
        return
    fi
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        local sudo=()
        [ "$(id -u)" -eq 0 ] || sudo=(sudo)
        echo "Adding the i386 architecture to dpkg, for 32-bit Wine" >&2
        # need_packages fetches its package lists before it installs wine32.
        "${sudo[@]}" dpkg --add-architecture i386
    fi
    need_packages "${wine_packages[@]}" wine32
}

# Whether the kernel runs 32-bit x86 programs: some have no IA-32 emulation
# (those of some cloud and virtual machines, or one booted with
# ia32_emulation=0). Asks it with the smallest such program, written into
# FOLDER. Only "Exec format error" means no: a folder mounted noexec, say,
# says nothing of the kernel.
# Usage: runs_32bit_programs FOLDER
runs_32bit_programs() {
    local probe=$1/probe-i386
    # The ELF header: 32-bit, little-endian, an i386 executable that starts
    # at 0x8048054, with one program header right after it.
    local elf='\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\010\064\0\0\0'
    elf+='\0\0\0\0\0\0\0\0\064\0\040\0\1\0\0\0\0\0\0\0'
    # The program header: the whole file, 93 bytes, loaded at 0x8048000.
    elf+='\1\0\0\0\0\0\0\0\0\200\4\010\0\200\4\010\135\0\0\0\135\0\0\0\5\0\0\0\0\020\0\0'
    # exit(0): xor %ebx,%ebx; mov $1,%eax; int $0x80
    elf+='\061\333\270\1\0\0\0\315\200'
    mkdir -p "$1"
    printf "$elf" >"$probe"
    chmod +x "$probe"
    local said
    said=$("$probe" 2>&1) && return 0
    [[ $said != *"Exec format error"* ]]
}

# Which Windows program the Windows tests run under Wine, x86 or x64:
# PLANINI_WINDOWS_TESTS=x86 or x64 if given, otherwise x86 wherever the
# kernel runs 32-bit programs and Wine's 32-bit loader starts. Prints it,
# and then, where it is x64, the reason as one line. The loader is asked
# only where RUNS_32BIT is yes; it is 32-bit Wine's, installed by need_wine.
# Usage: windows_test_arch yes|no LOADER
windows_test_arch() {
    local runs_32bit=$1 loader=$2
    case ${PLANINI_WINDOWS_TESTS:-} in
    x64)
        echo x64
        echo "PLANINI_WINDOWS_TESTS=x64: the Windows tests run the 64-bit build"
        return 0
        ;;
    x86)
        if [ "$runs_32bit" != yes ]; then
            echo "PLANINI_WINDOWS_TESTS=x86, but this machine cannot run 32-bit programs" >&2
            return 1
        fi
        echo x86
        return 0
        ;;
    "") ;;
    *)
        echo "PLANINI_WINDOWS_TESTS is x86 or x64, not '$PLANINI_WINDOWS_TESTS'" >&2
        return 2
        ;;
    esac
    if [ "$runs_32bit" != yes ]; then
        echo x64
        echo "this machine cannot run 32-bit programs: the Windows tests run the 64-bit build"
    elif ! "$loader" --version >/dev/null 2>&1; then
        echo x64
        echo "32-bit Wine could not be installed or does not start here: the Windows tests run the 64-bit build"
    else
        echo x86
    fi
}

# Chooses which Windows program runs under Wine here (see windows_test_arch)
# and installs the Wine it needs. Prints the choice, x86, x64 or none, and
# on a second line the reason where it is not x86. FOLDER is one of ours,
# for the probe.
# Usage: choose_wine FOLDER
choose_wine() {
    if [ "$(dpkg --print-architecture)" != amd64 ]; then
        echo none
        echo "Wine runs Windows programs for x86 on x86 machines only; this one is $(dpkg --print-architecture)"
        return 0
    fi
    local runs_32bit=no choice
    [ "${PLANINI_WINDOWS_TESTS:-}" != x64 ] && runs_32bit_programs "$1" && runs_32bit=yes
    # Where 32-bit Wine cannot be installed, its loader does not start.
    [ "$runs_32bit" = yes ] && { need_wine x86 >&2 || true; }
    choice=$(windows_test_arch "$runs_32bit" /usr/lib/wine/wine) || return
    need_wine "$(head -n1 <<<"$choice")" >&2 || return
    echo "$choice"
}

# What the web page needs: Debian's emscripten, and Node to run its tools.
web_build_packages=(cmake make emscripten doctest-dev libfast-float-dev nlohmann-json3-dev)
# What its tests need: Debian's Chromium and Firefox ESR, driven by Playwright
# from npm, and WebKitGTK's WebDriver server with a virtual display.
web_test_packages=(chromium firefox-esr webkit2gtk-driver xvfb xauth fonts-liberation2 poppler-utils)

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
