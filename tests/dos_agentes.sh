#!/bin/bash
# Two agents on one application folder in one session. The second refuses before it touches anything of the
# first: the first's document still on a printer that never finishes stays "enviando" in the journal, the
# second says so on standard error and ends by itself with a non-zero status although nobody answers its box.
#   dos_agentes.sh KESTREL_AGENTE KESTREL_SERVICIO MUESTRAS CUPS_SANDBOX
set -uo pipefail
agente=$1 servicio=$2 muestras=$3 caja=$4
# Short: the private scheduler's socket lives under it.
tmp=$(mktemp -d /tmp/kestrel-dos.XXXXXX)
pid=
primero=
trap '[ -z "$pid" ] || kill "$pid" 2>/dev/null; [ -z "$primero" ] || kill "$primero" 2>/dev/null; wait 2>/dev/null
      "$caja" stop "$tmp/c" >/dev/null 2>&1; rm -rf "$tmp"' EXIT
# shellcheck source=comun.sh
. "$(dirname "$(realpath "$0")")/comun.sh"
export XDG_CONFIG_HOME="$tmp/usuario" XDG_CONFIG_DIRS="$tmp/sistema" QT_QPA_PLATFORM=offscreen PATH=$PATH:/usr/sbin
unset DISPLAY WAYLAND_DISPLAY
variables=$("$caja" start "$tmp/c" Facturas Cocina) || { echo "FALLA: el planificador privado no arrancó"; exit 1; }
eval "$variables"
mkdir -p "$XDG_RUNTIME_DIR" "$tmp/agente"
chmod 700 "$XDG_RUNTIME_DIR"
# Cocina never finishes a job: the first agent keeps following its ticket.
lpadmin -p Cocina -v lenta:/ || falla "no se pudo hacer lenta la cola Cocina"
echo 123456789012345 >"$tmp/agente/Acceso"

arrancar_servicio "$tmp/servicio.log" --salir-tras-respuestas 1 --enviar "$muestras/comanda.json" ||
    falla "kestrel-servicio no arrancó"
opciones=(--servidor "127.0.0.1:$puerto" --carpeta "$tmp/agente" --limite-impresion 600)
"$agente" "${opciones[@]}" >"$tmp/primero.log" 2>&1 &
primero=$!
wait "$pid" 2>/dev/null || falla "el primer agente no respondió"
pid=
cocina() { "$agente" --trabajos --carpeta "$tmp/agente" 2>&1 | cut -f3- | grep "^comanda"$'\t'"Cocina"; }
for _ in $(seq 100); do
    [ "$(cocina | cut -f4)" = enviando ] && break
    sleep 0.1
done
antes=$(cocina)
[ "$(cut -f4 <<<"$antes")" = enviando ] || falla "la comanda de Cocina no quedó enviando: $antes"

timeout 30 "$agente" "${opciones[@]}" >"$tmp/segundo.out" 2>"$tmp/segundo.err"
salida=$?
[ "$salida" != 124 ] || falla "el segundo agente no terminó solo"
[ "$salida" != 0 ] || falla "el segundo agente terminó con 0"
[ "$(grep -c "ya hay un agente en ejecución" "$tmp/segundo.err")" = 1 ] ||
    falla "el segundo agente no lo dijo en una línea: $(cat "$tmp/segundo.err")"
[ "$(cocina)" = "$antes" ] || falla "el segundo agente cambió el diario del primero: $(cocina)"
kill -0 "$primero" 2>/dev/null || falla "el primer agente terminó"

[ "$fallos" = 0 ] && echo "todo bien" && exit 0
tail -n 20 "$tmp/primero.log" "$tmp/segundo.err"
exit 1
