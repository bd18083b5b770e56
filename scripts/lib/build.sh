# shellcheck shell=bash
# Sourced by scripts/test, scripts/run and bench/idle: configure (once) and
# build, and which of the two targets this machine can run.
#   build_lock <build dir> <who>      one of them per build folder at a time
#   project_build <repo> <build dir> <jobs> [32|64]
#                                     the 32-bit deliverables (default) or the
#                                     64-bit second target
#   detect_arches                     which of the two this machine runs

# Build folders of the two targets, under the clone.
build_dir_of() { # <repo> 32|64
  if [ "$2" = 64 ]; then echo "$1/build64"; else echo "$1/build"; fi
}

# Both build into the same folder and start and end the same Wine server:
# a second run would end the first one's programs under it. A pid file, not
# a lock descriptor, since the Wine server and the desktop process that a run
# starts would inherit the descriptor and outlive the run.
build_lock() {
  local build="$1" who="$2" pidfile="$1/.run.pid" other
  mkdir -p "$build" || return 1
  other="$(cat "$pidfile" 2>/dev/null)" || other=""
  if [ -n "$other" ] && [ "$other" != "$$" ] && kill -0 "$other" 2>/dev/null &&
     tr '\0' ' ' <"/proc/$other/cmdline" 2>/dev/null | grep -qE 'scripts/(test|run)( |$)'; then
    echo "$who: another scripts/test or scripts/run (process $other) is using $build; wait for it to end, or work in a second clone" >&2
    return 1
  fi
  echo "$$" >"$pidfile"
}

project_build() {
  local repo="$1" build="$2" jobs="$3" arch="${4:-32}" generator=(-G "Unix Makefiles") toolchain
  toolchain="$repo/cmake/mingw-i686.cmake"
  [ "$arch" = 64 ] && toolchain="$repo/cmake/mingw-x86_64.cmake"
  # An existing build folder keeps the generator it was made with.
  [ -f "$build/CMakeCache.txt" ] && generator=()
  cmake -S "$repo" -B "$build" "${generator[@]}" -DCMAKE_TOOLCHAIN_FILE="$toolchain" &&
    cmake --build "$build" -j"$jobs"
}

# Asked of the programs themselves, not of the kernel's version or a file
# name: Wine's 32-bit loader is a small 32-bit program, and a kernel without
# 32-bit user mode refuses it at once ("Exec format error"), as it refuses
# Wine's 32-bit side. NO_32BIT=1 takes the 64-bit-only path on a machine
# that runs both, to see what the other kind of machine sees.
# Sets RUNNABLE_ARCHES (32 and 64, those that run) and ARCH_NOTE (one line
# on why one does not; empty when both do).
RUNNABLE_ARCHES=()
ARCH_NOTE=""
detect_arches() {
  RUNNABLE_ARCHES=()
  ARCH_NOTE=""
  if [ "${NO_32BIT:-0}" = 1 ]; then
    ARCH_NOTE="NO_32BIT=1 is set: run as on a machine that cannot run 32-bit programs"
  elif /usr/lib/wine/wine --version >/dev/null 2>&1; then
    RUNNABLE_ARCHES+=(32)
  elif [ -e /usr/lib/wine/wine ]; then
    ARCH_NOTE="this machine cannot run 32-bit programs (its kernel refuses them)"
  else
    ARCH_NOTE="Wine's 32-bit loader is not installed (scripts/setup installs wine32:i386)"
  fi
  if /usr/lib/wine/wine64 --version >/dev/null 2>&1; then
    RUNNABLE_ARCHES+=(64)
  else
    ARCH_NOTE="${ARCH_NOTE:+$ARCH_NOTE, and }Wine's 64-bit loader does not run (scripts/setup installs wine64)"
  fi
}
