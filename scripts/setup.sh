#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, then configures and builds the
# targets named as arguments, or everything. Safe to run again: packages already present are
# not fetched, the build is incremental.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=${MOXALO_BUILD:-$top/build}

packages=(
  g++ cmake make pkg-config
  libhivex-dev libhivex-bin        # registry hives; hivexsh checks the hives we write
  libicu-dev                       # Unicode case mapping of registry names
  libssl-dev                       # SHA-256 (libcrypto), for the names of long keys' backups
  libgtest-dev libgmock-dev
  qt6-base-dev libgl-dev           # the desktop program's windows
  qt6-qpa-plugins                  # the offscreen platform the window tests run on
  xvfb openbox                     # a display with a window manager, for the frame's test
  fonts-dejavu-core fonts-liberation fonts-noto-core  # desktop fonts the captions must fit in
  locales                          # locale sources; the tests compile de_DE.UTF-8 from them
  python3                          # data/make_sample.py, which the tests check the sample against
  fp-utils                         # chmcmd, which compiles the help file help.chm
  desktop-file-utils               # desktop-file-validate checks the installed desktop entry
  appstream                        # appstreamcli checks the installed AppStream metainfo
  groff-base                       # formats the manual pages, which a test checks
  clang libclang-rt-14-dev         # the sanitizer build and the fuzz targets (libFuzzer)
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# npm, for ajv-cli, which checks the audit's SARIF against its schema: Debian's, unless the
# machine has a Node.js of its own (whose packages Debian's would conflict with).
if ! command -v npm >/dev/null; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends nodejs npm
fi
# The SARIF validator, pinned, so that no test fetches anything; beside the sources rather than
# in a build tree, as every build's tests use it (the sanitizers' too).
validator=$top/.tools/sarif-validator
if [ ! -x "$validator/node_modules/.bin/ajv" ]; then
  npm install --prefix "$validator" --no-audit --no-fund --save-exact \
    ajv-cli@5.0.0 ajv-formats@3.0.1 >/dev/null
fi

cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMOXALO_WERROR=ON >/dev/null
# The targets named as arguments (run.sh names the programs only), else everything.
if [ $# -gt 0 ]; then
  cmake --build "$build" -j"$(nproc)" --target "$@"
else
  cmake --build "$build" -j"$(nproc)"
fi
