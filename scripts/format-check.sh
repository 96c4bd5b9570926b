#!/usr/bin/env bash
# Fails when a C++ file differs from what the pinned clang-format makes of it.
# Other versions format some constructs differently, so only the pinned one is trusted.
set -euo pipefail
cd "$(dirname "$0")/.."
pinned=14
tool=$(command -v clang-format-$pinned || command -v clang-format || true)
if [ -z "$tool" ] || ! "$tool" --version | grep -q "version $pinned\."; then
  echo "format-check: clang-format $pinned is needed (Debian's clang-format-$pinned)" >&2
  exit 1
fi
git ls-files -z '*.cpp' '*.h' | xargs -0 "$tool" --dry-run -Werror
