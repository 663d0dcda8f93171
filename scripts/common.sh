# Shared by run.sh and test.sh: the Debian packages the program needs, and a
# way to install the missing ones.

BUILD_PACKAGES=(cmake g++ make pkg-config qtbase5-dev qttranslations5-l10n fonts-wqy-microhei
    libopencc-dev libopencc-data opencc qttools5-dev-tools zlib1g-dev)
# For scripts/check-package.sh: building the Debian package and checking it.
PACKAGE_CHECK_PACKAGES=(appstream bash-completion desktop-file-utils dpkg-dev file lintian strace x11-utils
    xvfb)

install_packages() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
            || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 update
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends "${missing[@]}"
}
