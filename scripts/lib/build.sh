# shellcheck shell=bash
# Sourced by scripts/test and scripts/run: configure (once) and build.
#   build_lock <build dir> <who>      one of them per build folder at a time
#   project_build <repo> <build dir> <jobs>

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
  local repo="$1" build="$2" jobs="$3" generator=(-G "Unix Makefiles")
  # An existing build folder keeps the generator it was made with.
  [ -f "$build/CMakeCache.txt" ] && generator=()
  cmake -S "$repo" -B "$build" "${generator[@]}" \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-i686.cmake" &&
    cmake --build "$build" -j"$jobs"
}
