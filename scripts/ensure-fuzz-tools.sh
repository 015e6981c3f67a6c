#!/bin/sh
# Makes clang with its libFuzzer and sanitizer runtimes available for
# `make fuzz`, installing Debian's packages when they are missing.
set -eu
have_tools() {
  command -v clang++ >/dev/null 2>&1 &&
    [ -f "$(clang++ -print-file-name=libclang_rt.fuzzer-x86_64.a)" ]
}
if have_tools; then exit 0; fi
if [ "$(id -u)" = 0 ]; then
  (apt-get update -qq &&
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq clang libclang-rt-dev) >/dev/null 2>&1 || true
fi
if have_tools; then exit 0; fi
echo "ensure-fuzz-tools: clang++ with libFuzzer is missing (Debian: apt-get install clang libclang-rt-dev)" >&2
exit 1
