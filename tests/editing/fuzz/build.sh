#!/bin/sh
# Builds the two fuzz targets with clang's libFuzzer and AddressSanitizer into the folder given
# (default: build-fuzz). Run e.g.: build-fuzz/fuzz_rtf -max_total_time=600 corpus-dir
set -e
here=$(cd "$(dirname "$0")" && pwd)
src="$here/../../../editing"
out=${1:-build-fuzz}
mkdir -p "$out"
flags="-std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -I$src -I$src/../common $(pkg-config --cflags Qt6Gui)"
libs="$(pkg-config --libs Qt6Gui Qt6Core)"
clang++ $flags "$here/fuzz_rtf.cpp" "$src/RtfReader.cpp" -o "$out/fuzz_rtf" $libs
clang++ $flags "$here/fuzz_plaintext.cpp" "$src/PlainTextCodec.cpp" -o "$out/fuzz_plaintext" $libs
