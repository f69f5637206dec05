#!/usr/bin/env bash
# Usage: consumer_test.sh BUILD_DIR WORK_DIR CMAKE CXX GENERATOR
# Installs BUILD_DIR into WORK_DIR/prefix, then builds and runs the consumer
# once through find_package and once through pkg-config.
set -euo pipefail
build=$1 work=$2 cmake=$3 cxx=$4 generator=$5
source_dir=$(cd "$(dirname "$0")/consumer" && pwd)
prefix=$work/prefix

rm -rf "$work"
mkdir -p "$work"
"$cmake" --install "$build" --prefix "$prefix" >/dev/null

test -f "$prefix/include/subclientconf/platform/KXLog.h"
# The library's own headers stay out of the installed tree.
test ! -e "$prefix/include/subclientconf/subclient/FSSubclientConfPrivate.h"
ls "$prefix"/lib/libsubclientconf.so.* >/dev/null

"$cmake" -S "$source_dir" -B "$work/with-cmake" -G "$generator" \
  -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
"$cmake" --build "$work/with-cmake" >/dev/null
"$work/with-cmake/consumer"

export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
# shellcheck disable=SC2046
"$cxx" -std=c++17 "$source_dir/main.cpp" -o "$work/with-pkg-config" \
  $(pkg-config --cflags --libs subclientconf) -Wl,-rpath,"$prefix/lib"
"$work/with-pkg-config"

# Every installed header compiles from the installed tree alone.
(cd "$prefix/include/subclientconf" && find . -name '*.h' | sed 's|^\./\(.*\)|#include "\1"|') > "$work/all_headers.cpp"
# shellcheck disable=SC2046
"$cxx" -std=c++17 -fsyntax-only $(pkg-config --cflags subclientconf) "$work/all_headers.cpp"
