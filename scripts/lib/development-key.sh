# Sourced by the scripts that build for stations (scripts/package,
# scripts/build-windows): the public development key stays out of what they
# make, however it is given.

rvk_development_key=0x5A17C3E9B24D8F61

# The key's digits without prefix and leading zeros, in upper case: the
# value CMake compares (cmake/Deployment.cmake).
rvk_key_digits() {
    local value=${1#0[xX]}
    while [ "${value#0}" != "$value" ]; do value=${value#0}; done
    echo "${value^^}"
}

rvk_is_development_key() {
    [ "$(rvk_key_digits "$1")" = "$(rvk_key_digits "$rvk_development_key")" ]
}

# rvk_check_station_key <script> <key> [cmake arguments...]: exits with a
# message when the key, or a key among the cmake arguments (which come after
# it and would win), is the development key, or when an argument opts in to
# it.
rvk_check_station_key() {
    local script=$1 key=$2 previous= argument definition
    shift 2
    if [ -z "$key" ]; then
        echo "$script: give the stations' key, e.g. RVK_SSU_KEY=0x0123456789ABCDEF $script" >&2
        exit 2
    fi
    if rvk_is_development_key "$key"; then
        echo "$script: $key is the public development key; a station's build needs its own" >&2
        exit 2
    fi
    for argument in "$@"; do
        # cmake takes both "-DNAME=VALUE" and "-D NAME=VALUE".
        definition=$argument
        [ "$previous" = "-D" ] && definition="-D$argument"
        previous=$argument
        case "${definition^^}" in
        *RVK_ALLOW_DEVELOPMENT_KEY* | *RVK_TEST_PACKAGE*)
            echo "$script: $argument: a station's build never opts in to the development key" >&2
            exit 2 ;;
        -DRVK_SSU_KEY=* | -DRVK_SSU_KEY:*=*)
            if rvk_is_development_key "${definition#*=}"; then
                echo "$script: $argument is the public development key; a station's build needs its own" >&2
                exit 2
            fi ;;
        esac
    done
}

# rvk_check_configured_key <script> <build folder>: the key the build was
# really configured with (a cache file given with -C, say).
rvk_check_configured_key() {
    local configured
    configured=$(sed -n 's/^RVK_SSU_KEY:[A-Z]*=//p' "$2/CMakeCache.txt")
    if [ -z "$configured" ] || rvk_is_development_key "$configured"; then
        echo "$1: $2 is configured with the public development key \"$configured\"" >&2
        exit 2
    fi
}
