# Sourced by the scripts: the Windows build tree and how it is configured.
: "${ORV_ROOT:?}"
ORV_WIN_TREE="${ORV_WIN_BUILD:-$ORV_ROOT/build/win}"
ORV_WIN_CMAKE_ARGS=(-DCMAKE_TOOLCHAIN_FILE="$ORV_ROOT/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release)

orv_configure_win() {  # [more cmake arguments]
  cmake -S "$ORV_ROOT" -B "$ORV_WIN_TREE" "${ORV_WIN_CMAKE_ARGS[@]}" "$@"
}
