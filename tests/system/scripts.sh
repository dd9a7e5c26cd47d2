#!/usr/bin/env bash
# The scripts' own decisions (scripts/common.sh): which Windows program the
# Windows tests run under Wine, and a build folder whose first configure
# failed is configured again, not left broken; and the time the packages
# carry.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/common.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() {
    echo "FAIL: $*"
    failed=1
}

# A stand-in for Wine's 32-bit loader: it starts, or it does not.
printf '#!/bin/sh\nexit 0\n' >"$work/loader-starts"
printf '#!/bin/sh\necho "Exec format error" >&2; exit 126\n' >"$work/loader-fails"
chmod +x "$work"/loader-*

# PLANINI_WINDOWS_TESTS | runs 32-bit | loader | status | choice and reason
choices=(
    "|yes|starts|0|x86"
    "|no|starts|0|x64 this machine cannot run 32-bit programs: the Windows tests run the 64-bit build"
    "|yes|fails|0|x64 32-bit Wine could not be installed or does not start here: the Windows tests run the 64-bit build"
    "x64|yes|starts|0|x64 PLANINI_WINDOWS_TESTS=x64: the Windows tests run the 64-bit build"
    "x86|yes|fails|0|x86"
    "x86|no|starts|1|"
    "arm|yes|starts|2|"
)
for row in "${choices[@]}"; do
    IFS='|' read -r forced runs_32bit loader want_status want <<<"$row"
    got=$(PLANINI_WINDOWS_TESTS=$forced windows_test_arch "$runs_32bit" "$work/loader-$loader" 2>/dev/null)
    status=$?
    got=$(tr '\n' ' ' <<<"$got" | sed 's/ $//')
    [ "$status" = "$want_status" ] && [ "$got" = "$want" ] ||
        fail "PLANINI_WINDOWS_TESTS=$forced, 32-bit $runs_32bit, loader $loader: status $status, '$got'"
done

# The probe answers as the kernel does: where it says yes, a 32-bit program
# runs; where no, the kernel refused it as of an unknown format.
if runs_32bit_programs "$work"; then
    "$work/probe-i386" || fail "the probe said 32-bit programs run, but it did not"
else
    [[ $("$work/probe-i386" 2>&1) == *"Exec format error"* ]] ||
        fail "the probe said 32-bit programs cannot run, but not for their format"
fi

# A first configure that fails (here, a compiler that does not exist) and
# then one that works: the folder builds, and a third call changes nothing.
mkdir -p "$work/project"
printf 'cmake_minimum_required(VERSION 3.25)\nproject(probe CXX)\n' >"$work/project/CMakeLists.txt"
cd "$work/project"
configure_build build -DCMAKE_CXX_COMPILER=/nonexistent/c++ >/dev/null 2>&1 &&
    fail "a configure with a compiler that does not exist succeeded"
configure_build build >/dev/null 2>&1 || fail "the configure after a failed one failed"
cmake --build build >/dev/null 2>&1 || fail "the folder does not build after a failed configure"
before=$(stat -c %y build/CMakeCache.txt)
configure_build build >/dev/null 2>&1
[ "$(stat -c %y build/CMakeCache.txt)" = "$before" ] || fail "a complete folder was configured again"

# The time the packages carry (cmake/SourceDateEpoch.cmake), with a
# stand-in for git that answers a time or refuses as for a checkout owned by
# another user: never the release date in a checkout whose git failed.
mkdir -p "$work/bin" "$work/checkout/.git" "$work/tarball"
printf '#!/bin/sh\n[ -n "$GIT_REFUSES" ] && { echo "fatal: detected dubious ownership" >&2; exit 128; }\necho 1700000000\n' \
    >"$work/bin/git"
chmod +x "$work/bin/git"
# source | git refuses | SOURCE_DATE_EPOCH | status | time, or what the error says
epochs=(
    "tarball|||0|1796688000"
    "checkout|||0|1700000000"
    "checkout||123|0|123"
    "checkout|yes||1|dubious ownership"
    "checkout|yes|123|0|123"
)
for row in "${epochs[@]}"; do
    IFS='|' read -r source refuses given want_status want <<<"$row"
    rm -f "$work/epoch"
    output=$(env ${given:+SOURCE_DATE_EPOCH=$given} ${refuses:+GIT_REFUSES=1} PATH="$work/bin:$PATH" \
        cmake -DSOURCE_DIR="$work/$source" -DOUTPUT="$work/epoch" \
        -P "$here/../../cmake/SourceDateEpoch.cmake" 2>&1)
    status=$?
    [ $status -ne 0 ] && status=1
    got=$(cat "$work/epoch" 2>/dev/null)
    [ "$status" = "$want_status" ] && { [ "$got" = "$want" ] || [[ $status = 1 && $output == *"$want"* && -z $got ]]; } ||
        fail "time of a $source, git refusing '$refuses', SOURCE_DATE_EPOCH '$given': status $status, '$got'"
done

[ $failed -eq 0 ] && echo "all passed"
exit $failed
