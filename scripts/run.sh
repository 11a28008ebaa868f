#!/usr/bin/env bash
# Installs what Verbanox needs, builds it and starts it on the sample modules.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$ROOT/scripts/install-deps.sh"
"$ROOT/scripts/build.sh"
exec "$ROOT/build/Verbanox/Verbanox"
