# Sourced by run.sh, test.sh and the bench scripts: installs the Debian packages the project needs.
# Quick and silent when everything is already there.

TV_BUILD_PACKAGES="cmake make g++ pkg-config qt6-base-dev libqt6opengl6-dev libgl-dev
  libjpeg62-turbo-dev libcurl4-openssl-dev libgtest-dev libgmock-dev libbenchmark-dev
  libcharls-dev zlib1g-dev libgdcm-dev libopenjp2-7-dev libqt6svg6"
# Reference decoders for conformance tests (ImageMagick for BMP), clang's libFuzzer, and a display
# server for screenshots of the viewer.
TV_TEST_PACKAGES="dcmtk python3 python3-pydicom python3-numpy clang libclang-rt-14-dev
  python3-pyftpdlib openssl
  xvfb xauth imagemagick libgdcm-tools libopenjp2-tools openjph-tools
  dicom3tools python3-pil libtiff-tools libjpeg-turbo-progs ffmpeg libxml2-utils unrtf poppler-utils
  desktop-file-utils appstream"

# The peers and timers of the side-by-side scripts under bench/.
TV_BENCH_PACKAGES="hyperfine dcmtk libgdcm-tools python3 python3-pydicom python3-numpy xvfb xauth libopenjp2-tools"

tv_missing_packages() {
  local missing="" pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing="$missing $pkg"
    fi
  done
  echo "$missing"
}

# Seconds to wait for another package manager (unattended upgrades on a fresh
# machine) to release its lock before giving up.
TV_APT_LOCK_TIMEOUT=${TV_APT_LOCK_TIMEOUT:-300}

# apt-get update with the same wait. DPkg::Lock::Timeout covers the dpkg lock,
# but apt 2.6's update fails at once on the package lists' lock, so it is
# retried while another process holds that.
tv_apt_update() {
  local sudo=$1 waited=0 out
  while :; do
    if out=$($sudo env LC_ALL=C apt-get -o DPkg::Lock::Timeout="$TV_APT_LOCK_TIMEOUT" update -qq 2>&1); then
      return 0
    fi
    case $out in
      *"Could not get lock"*) ;;
      *) echo "$out" >&2; return 1 ;;
    esac
    if [ "$waited" -ge "$TV_APT_LOCK_TIMEOUT" ]; then
      echo "$out" >&2
      return 1
    fi
    [ "$waited" -eq 0 ] && echo "Waiting for another package manager to release its lock..." >&2
    sleep 5
    waited=$((waited + 5))
  done
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
  tv_apt_update "$sudo" || return 1
  # shellcheck disable=SC2086
  $sudo apt-get -o DPkg::Lock::Timeout="$TV_APT_LOCK_TIMEOUT" install -y -qq --no-install-recommends $missing \
    >/dev/null || return 1
}
