#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The tests under the sanitizers, the windows' own included (on the offscreen platform):
#   BUILD_ROOT/asan  AddressSanitizer + UndefinedBehaviorSanitizer, every unit test and every window test,
#                    and the window program itself, driven by scripts/drive-window.sh;
#   BUILD_ROOT/tsan  ThreadSanitizer, the tests that start threads: those CTest labels "threads" (every window
#                    test, and the unit tests whose sources start one, as tests/CMakeLists.txt finds them).
# The imaging modules, which the tests load with dlopen, are built with the same sanitizer; Qt itself is
# not instrumented, so the window tests check what reaches Qt (the texts shown) themselves, and
# ThreadSanitizer ignores what Qt's own code does (tests/tsan-suppressions.txt says why). Any finding
# fails the script. Where ThreadSanitizer cannot run on this kernel even without address randomisation,
# that half is skipped and says so loudly.
# Each build makes only what its half runs (the targets albumwright_unit_tests and albumwright_thread_tests).
# Usage: scripts/sanitize.sh BUILD_ROOT [asan|tsan]   (both by default; the packages of scripts/setup.sh must
# be installed)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
root=${1:?usage: scripts/sanitize.sh BUILD_ROOT [asan|tsan]}
halves=${2:-asan tsan}
jobs=$(nproc)

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

# configure DIR FLAGS
configure() {
  local flags="$2 -fno-omit-frame-pointer"
  cmake -S "$here" -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DALBUMWRIGHT_GUI=ON \
    "${launcher[@]}" -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="$flags" -DCMAKE_SHARED_LINKER_FLAGS="$flags" \
    -DCMAKE_MODULE_LINKER_FLAGS="$flags" >/dev/null
}

# Only the programs built here are run: the others appear to CTest as "<name>_NOT_BUILT".
# The install, package and browser tests need every program of a whole build, which these builds do not make.
ctest_built=(ctest --output-on-failure -j "$jobs"
  -E '_NOT_BUILT$|^layers$|^comment_rows$|^test_names$|^test_share$|^install$|^package$|^gallery_browser$'
  --test-dir)

findings=0
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

address_sanitizer() {
  echo "== AddressSanitizer + UndefinedBehaviorSanitizer: every unit and window test"
  local asan=$root/asan
  configure "$asan" "-fsanitize=address,undefined -fno-sanitize-recover=all"
  cmake --build "$asan" -j "$jobs" --target albumwright_unit_tests albumwright
  # The modules and the libraries they pull in stay mapped until the end: after a real dlclose the leak
  # check could neither see their globals (what they keep for the process's life looks leaked) nor name
  # their frames. Preloading puts this before the sanitizer's runtime, hence the link-order check off.
  printf 'int dlclose(void* handle) { (void)handle; return 0; }\n' >"$scratch/nodlclose.c"
  "${CC:-cc}" -shared -fPIC -o "$scratch/nodlclose.so" "$scratch/nodlclose.c"
  LD_PRELOAD=$scratch/nodlclose.so \
    ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:verify_asan_link_order=0 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 "${ctest_built[@]}" "$asan" || findings=1
  echo "== The window program, driven with the mouse and keys under a virtual display"
  "$here/scripts/drive-window.sh" "$asan" || findings=1
}

# Some kernels map memory where ThreadSanitizer does not expect it; without address randomisation
# (setarch -R) it usually runs. Try a small program both ways before building anything.
thread_sanitizer() {
  printf '#include <thread>\nint main() { int x = 0; std::thread t([&] { x = 1; }); t.join(); return 1 - x; }\n' \
    >"$scratch/probe.cpp"
  local wrap=()
  if ! "${CXX:-c++}" -fsanitize=thread -o "$scratch/probe" "$scratch/probe.cpp" -pthread; then
    echo "!! ThreadSanitizer SKIPPED: the compiler cannot build with -fsanitize=thread" >&2
    return 0
  fi
  if ! "$scratch/probe" >/dev/null 2>&1; then
    wrap=(setarch "$(uname -m)" -R)
    if ! "${wrap[@]}" "$scratch/probe" >/dev/null 2>&1; then
      echo "!! ThreadSanitizer SKIPPED: it cannot run on this kernel, not even with setarch -R" >&2
      return 0
    fi
    echo "ThreadSanitizer runs with address randomisation off (setarch -R)"
  fi
  local tsan=$root/tsan
  configure "$tsan" "-fsanitize=thread" || return 1
  # The build runs the test programs to list their tests, so it needs the same wrapper.
  "${wrap[@]}" cmake --build "$tsan" -j "$jobs" --target albumwright_thread_tests || return 1
  TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$here/tests/tsan-suppressions.txt \
    "${wrap[@]}" "${ctest_built[@]}" "$tsan" -L threads
}

for half in $halves; do
  case $half in
  asan) address_sanitizer ;;
  tsan)
    echo "== ThreadSanitizer: the unit and window tests that start threads"
    thread_sanitizer || findings=1
    ;;
  *)
    echo "usage: scripts/sanitize.sh BUILD_ROOT [asan|tsan]" >&2
    exit 2
    ;;
  esac
done

if [[ $findings != 0 ]]; then
  echo "!! sanitizers: findings above" >&2
  exit 1
fi
echo "== sanitizers: no findings"
