# Sourced by the CI scripts: install_packages installs those of the named Debian packages
# that are missing, with the apt options given before a "--" (none by default).
install_packages() {
    local options=()
    if [[ " $* " == *" -- "* ]]; then
        while [ "$1" != "--" ]; do
            options+=("$1")
            shift
        done
        shift
    fi
    local missing=()
    for package in "$@"; do
        dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${options[@]}" "${missing[@]}"
    fi
}
