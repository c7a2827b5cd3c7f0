#!/usr/bin/env bash
# The Khronos glTF validator over glTF / GLB files: validate.sh FILE...
# On first use `npm install`s gltf-validator (the version package.json pins)
# into build/gltf-validator of the work tree and reuses it after that.
# Prints one JSON line per file (errors, warnings and their messages); exits
# 0 when no file has an error, 1 when one has, 3 when it cannot be installed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=$(cd "$here/../../.." && pwd)/build/gltf-validator
mkdir -p "$cache"
# Tests run side by side: one installs, the others wait for it.
exec 9>"$cache.lock"
flock 9
if [[ ! -f $cache/node_modules/gltf-validator/package.json ||
      $here/package.json -nt $cache/package.json ]]; then
  cp "$here/package.json" "$cache/package.json"
  [[ -f $here/package-lock.json ]] && cp "$here/package-lock.json" "$cache/package-lock.json"
  (cd "$cache" && npm install --no-audit --no-fund --loglevel=error >&2) ||
    { echo "validate.sh: npm install of gltf-validator into $cache failed" >&2; exit 3; }
fi
flock -u 9
NODE_PATH=$cache/node_modules exec node "$here/validate.js" "$@"
