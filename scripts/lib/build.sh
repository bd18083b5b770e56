# shellcheck shell=bash
# Sourced by scripts/test and scripts/run: configure (once) and build.
#   project_build <repo> <build dir> <jobs>

project_build() {
  local repo="$1" build="$2" jobs="$3" generator=(-G "Unix Makefiles")
  # An existing build folder keeps the generator it was made with.
  [ -f "$build/CMakeCache.txt" ] && generator=()
  cmake -S "$repo" -B "$build" "${generator[@]}" \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-i686.cmake" &&
    cmake --build "$build" -j"$jobs"
}
