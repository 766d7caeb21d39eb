# Configures a preset's build tree: configure_preset PRESET [ARGS...]. A tree
# that CMake refuses because a failed configure left other tools or empty
# flags in its cache is configured afresh (--fresh), with a line saying so.

configure_preset() {
    local preset=$1 output
    shift
    if output=$(cmake --preset "$preset" "$@" 2>&1); then
        return 0
    fi
    if grep -q -- "cmake --fresh --preset" <<<"$output"; then
        echo "build/$preset held a configuration CMake refuses (other tools or empty flags): configuring it afresh"
        cmake --fresh --preset "$preset" "$@" >/dev/null
        return
    fi
    echo "$output" >&2
    return 1
}
