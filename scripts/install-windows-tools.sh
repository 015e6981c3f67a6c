#!/bin/sh
# The Windows tools (cross compilers, both Wines): see scripts/install-deps.sh.
exec sh "$(dirname "$0")/install-deps.sh" windows
