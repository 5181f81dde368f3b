# Shared by the shell tests (sourced).

# Counts a failure and says what it was; a test ends with exit 1 when fallos is not 0.
fallos=0
falla() {
    echo "FALLA: $*"
    fallos=$((fallos + 1))
}

# Starts the demo service $servicio on a free port with the given options,
# its output in LOG, and sets puerto and pid. Fails when no port could be taken after five tries.
#   arrancar_servicio LOG [OPCION...]
arrancar_servicio() {
    local log=$1
    shift
    for _ in 1 2 3 4 5; do
        puerto=$((20000 + RANDOM % 40000))
        : >"$log"
        "$servicio" --puerto "$puerto" "$@" >>"$log" 2>&1 &
        pid=$!
        for _ in $(seq 50); do
            grep -q escuchando "$log" && return 0
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    pid=
    return 1
}
