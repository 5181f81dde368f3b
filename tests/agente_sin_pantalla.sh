#!/bin/bash
# The shipped agent as a technician meets it: what it answers with no display, how it treats its settings
# files, and that an agent started with nothing but a settings file reaches the service and identifies itself.
#   agente_sin_pantalla.sh KESTREL_AGENTE KESTREL_SERVICIO VERSION
set -uo pipefail
agente=$1 servicio=$2 version=$3
tmp=$(mktemp -d)
pid=
trap '[ -z "$pid" ] || kill "$pid" 2>/dev/null; wait 2>/dev/null; rm -rf "$tmp"' EXIT
# shellcheck source=comun.sh
. "$(dirname "$(realpath "$0")")/comun.sh"

# Runs the agent with no display and no settings but those under $tmp; sets salida and codigo.
sin_pantalla() {
    salida=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_CONFIG_HOME="$tmp/usuario" \
        XDG_CONFIG_DIRS="$tmp/sistema" XDG_RUNTIME_DIR="$tmp" "$agente" "$@" 2>&1)
    codigo=$?
}
espera() { # codigo-esperado texto-esperado descripcion
    [ "$codigo" = "$1" ] || falla "$3: salida $codigo (se esperaba $1): $salida"
    grep -qF -- "$2" <<<"$salida" || falla "$3: falta \"$2\" en: $salida"
    [ "$(wc -l <<<"$salida")" -le 1 ] || [ "$1" = 0 ] || falla "$3: más de una línea: $salida"
}

sin_pantalla --version
espera 0 "kestrel-agente $version" "--version"
sin_pantalla --help
espera 0 "--config ARCHIVO" "--help"
sin_pantalla --opcion-que-no-existe
espera 2 "opcion desconocida: --opcion-que-no-existe" "opción desconocida"
sin_pantalla --servidor host:0
espera 2 "puerto no valido" "valor no válido"
sin_pantalla --analizar-json /no/existe.json
[ "$codigo" = 2 ] || falla "modo de consola sin pantalla: salida $codigo: $salida"
sin_pantalla
espera 1 "no hay una pantalla" "sin pantalla"

mkdir -p "$tmp/usuario/kestrel" "$tmp/sistema/kestrel"
conf=$tmp/usuario/kestrel/kestrel-agente.conf
printf '[agente]\nservidor=host:3001\ncolor=azul\n' >"$conf"
sin_pantalla
espera 2 "$conf: clave desconocida \"color\"" "clave desconocida"
printf '[agente]\npropina-cupon=mil\n' >"$conf"
sin_pantalla
espera 2 "$conf: clave \"propina-cupon\"" "valor no válido en el archivo"
printf 'servidor=host\n' >"$conf"
sin_pantalla
espera 2 "fuera de la sección [agente]" "clave fuera de sección"
sin_pantalla --config "$tmp/no-existe.conf"
espera 2 "$tmp/no-existe.conf" "--config que no existe"
# The machine's file is read first and the user's wins; the command line wins over both.
printf '[agente]\npropina-cupon=mil\n' >"$tmp/sistema/kestrel/kestrel-agente.conf"
printf '[agente]\npropina-cupon=10\n' >"$conf"
sin_pantalla
espera 2 "$tmp/sistema/kestrel/kestrel-agente.conf" "archivo del equipo"
rm "$tmp/sistema/kestrel/kestrel-agente.conf"

# Nothing on the command line: the settings file alone brings the agent to the service.
mkdir -p "$tmp/agente" "$tmp/pdf"
echo 123456789012345 >"$tmp/agente/Acceso"
arrancar_servicio "$tmp/servicio.log" --salir-tras-respuestas 1 || falla "kestrel-servicio no arrancó"
printf '[agente]\nservidor=127.0.0.1:%s\ncarpeta=%s\nimpresoras-virtuales=Facturas,Cocina\nsalida=%s\n' \
    "$puerto" "$tmp/agente" "$tmp/pdf" >"$conf"
XDG_CONFIG_HOME="$tmp/usuario" XDG_CONFIG_DIRS="$tmp/sistema" XDG_RUNTIME_DIR="$tmp" QT_QPA_PLATFORM=offscreen \
    timeout 20 "$agente" >"$tmp/agente.log" 2>&1 &
agente_pid=$!
for _ in $(seq 150); do
    grep -q '123456789012345' "$tmp/servicio.log" && break
    sleep 0.1
done
kill "$agente_pid" 2>/dev/null
wait "$agente_pid" 2>/dev/null
grep -q 'identificacion.*123456789012345' "$tmp/servicio.log" ||
    falla "el agente con solo el archivo de configuración no se identificó: $(cat "$tmp/servicio.log" "$tmp/agente.log")"

[ "$fallos" = 0 ] && echo "todo bien" && exit 0
exit 1
