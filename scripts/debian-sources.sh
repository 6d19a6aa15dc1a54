# Shared by scripts/web.sh and scripts/windows.sh: installing the Debian
# packages a build needs, and fetching and unpacking Debian source packages
# through an apt configuration of our own. Sourced, not run.

# Installs those of the packages after $1 (the caller's name for messages)
# that are missing; nothing is asked of apt when all are there.
install_missing_packages() {
  local caller="$1"
  shift
  local missing=()
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  ((${#missing[@]} == 0)) && return 0
  echo "$caller: installing ${missing[*]}" >&2
  local sudo=""
  [[ $(id -u) -ne 0 ]] && sudo="sudo"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
}

# Fetches one Debian source package into $2 through an apt configuration of
# our own (a deb-src line, state and cache directories under $3), leaving the
# system's sources as they are.
fetch_source() {
  local package="$1" into="$2" apt_dir="$3"
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/archives/partial" "$into"
  if [[ ! -f "$apt_dir/sources.list" ]]; then
    local keyring=/usr/share/keyrings/debian-archive-keyring.gpg
    echo "deb-src [signed-by=$keyring] http://deb.debian.org/debian bookworm main" \
      >"$apt_dir/sources.list"
  fi
  local options=(-o "Dir::Etc::sourcelist=$apt_dir/sources.list" -o "Dir::Etc::sourceparts=-"
    -o "Dir::State=$apt_dir" -o "Dir::State::status=/var/lib/dpkg/status"
    -o "Dir::Cache=$apt_dir" -o "APT::Sandbox::User=root")
  if [[ ! -f "$apt_dir/updated" ]]; then
    apt-get "${options[@]}" update -qq
    touch "$apt_dir/updated"
  fi
  (cd "$into" && apt-get "${options[@]}" source --download-only -qq "$package")
}

# Unpacks the upstream tarball of a fetched source package into $2.
unpack_source() {
  local tarball
  tarball="$(ls "$1"/*.orig.tar.* | head -n 1)"
  mkdir -p "$2"
  tar -xf "$tarball" -C "$2" --strip-components=1
}
