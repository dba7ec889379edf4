#!/usr/bin/env bash
# One command: install what is missing, build, and start the program on its embedded database.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
exec build/bin/aftersales "$@"
