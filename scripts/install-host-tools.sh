#!/bin/sh
# The host's extras (Chromium, libpng, libxlsxwriter, FFTW): see scripts/install-deps.sh.
exec sh "$(dirname "$0")/install-deps.sh" host-tools quality
