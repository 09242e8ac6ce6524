# Sourced by run.sh, test.sh and the bench scripts: installs the Debian packages the project needs.
# Quick and silent when everything is already there.

TV_BUILD_PACKAGES="cmake make g++ pkg-config qt6-base-dev libqt6opengl6-dev libgl-dev
  libjpeg62-turbo-dev libcurl4-openssl-dev libgtest-dev libgmock-dev libbenchmark-dev"
# Reference decoders for conformance tests (ImageMagick for BMP), clang's libFuzzer, and a display
# server for screenshots of the viewer.
TV_TEST_PACKAGES="dcmtk python3 python3-pydicom python3-numpy clang libclang-rt-14-dev
  xvfb xauth imagemagick"

# The peers and timers of the side-by-side scripts under bench/.
TV_BENCH_PACKAGES="hyperfine dcmtk libgdcm-tools python3 python3-pydicom python3-numpy xvfb xauth"

tv_missing_packages() {
  local missing="" pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing="$missing $pkg"
    fi
  done
  echo "$missing"
}

tv_ensure_packages() {
  local missing
  missing=$(tv_missing_packages "$@")
  [ -z "$missing" ] && return 0
  echo "Installing:$missing"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
      sudo="sudo"
    else
      echo "error: packages missing ($missing) and not root and no sudo" >&2
      return 1
    fi
  fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq >/dev/null || return 1
  # shellcheck disable=SC2086
  $sudo apt-get install -y -qq --no-install-recommends $missing >/dev/null || return 1
}
