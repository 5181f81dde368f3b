#!/bin/bash
# The Windows agent under Wine as a branch PC runs it, against the Linux programs over loopback:
# - every sample message, printed on virtual printers, leaves the same text views as the Linux agent's;
# - the journal it wrote reads back with --trabajos as the Linux agent's does;
# - a kitchen ticket to the ESC/POS printer emulator over tcp:// arrives whole, as from the Linux agent, and so
#   does the same ticket through a COM port (tests/windows/puerto_serie.py), status answers included;
# - through the Windows printers (Wine shows the private CUPS scheduler's queues as Windows printers, its
#   default as the Windows default) a kitchen ticket arrives in its queue and the drawer pulse is a RAW job
#   of exactly its five bytes, both followed to "impreso".
# Each step waits on files and processes, never on the clock.
#   agente_wine.sh AGENTE_WINDOWS AGENTE_LINUX SERVICIO IMPRESORA MUESTRAS CUPS_SANDBOX
set -uo pipefail
agente_w=$1 agente_l=$2 servicio=$3 impresora=$4 muestras=$5 caja_cups=$6
tmp=$(mktemp -d)
caja=/tmp/kestrel-wine-$$
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; wait 2>/dev/null; "$caja_cups" stop "$caja" >/dev/null 2>&1; rm -rf "$tmp"' EXIT
# shellcheck source=../comun.sh
. "$(dirname "$(realpath "$0")")/../comun.sh"
export XDG_CONFIG_HOME="$tmp/sin" XDG_CONFIG_DIRS="$tmp/sin" XDG_RUNTIME_DIR="$tmp"
t=$'\t'

# Polls until the command succeeds, for at most 60 s (a Wine program takes seconds to start).
hasta() {
    for _ in $(seq 600); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}
terminado() { ! kill -0 "$1" 2>/dev/null; }

# Runs AGENTE on folder $tmp/CASO/agente until the service has its N answers; the service sends MENSAJE...
#   caso CASO AGENTE N MENSAJE... -- AGENT_OPTION...
caso() {
    local dir=$tmp/$1 agente=$2 n=$3
    shift 3
    local envios=()
    while [ "$1" != -- ]; do envios+=(--enviar "$1"); shift; done
    shift
    mkdir -p "$dir/agente"
    echo 123456789012345 >"$dir/agente/Acceso"
    cp "$muestras/logo.bmp" "$dir/agente/"
    arrancar_servicio "$dir/servicio.log" --salir-tras-respuestas "$n" "${envios[@]}" ||
        { falla "$1: kestrel-servicio no arrancó"; return; }
    local spid=$pid
    # The demo service speaks UTF-8; a Windows agent would otherwise read the link in the ANSI code page.
    QT_QPA_PLATFORM=offscreen "$agente" --servidor "127.0.0.1:$puerto" --carpeta "$dir/agente" --codificacion UTF-8 "$@" \
        >"$dir/agente.log" 2>&1 &
    local apid=$!
    pids+=("$spid" "$apid")
    hasta terminado "$spid" || falla "$(basename "$dir"): el servicio no recibió sus $n respuestas: $(cat "$dir/servicio.log")"
    # Answered is not yet on paper: the journal shows when every document ended.
    hasta asentado "$dir" "$agente" || falla "$(basename "$dir"): trabajos sin terminar: $lista"
    kill "$apid" 2>/dev/null
    wait "$apid" 2>/dev/null
}
asentado() {
    lista=$("$2" --trabajos --carpeta "$1/agente" 2>&1 | cut -f3-)
    [ -n "$lista" ] && ! grep -q "${t}enviando${t}" <<<"$lista"
}

# --- every sample, same text views and the same journal ---------------------------------------------------
mensajes=("$muestras"/*.json)
for lado in linux windows; do
    agente=$agente_l
    [ $lado = windows ] && agente=$agente_w
    caso "muestras-$lado" "$agente" ${#mensajes[@]} "${mensajes[@]}" -- \
        --impresoras-virtuales Facturas,Cocina,Bar --salida "$tmp/muestras-$lado/pdf"
done
(cd "$tmp/muestras-linux/pdf" && ls ./*.txt ./*.bin) >"$tmp/linux.lista" 2>/dev/null
(cd "$tmp/muestras-windows/pdf" && ls ./*.txt ./*.bin) >"$tmp/windows.lista" 2>/dev/null
[ -s "$tmp/linux.lista" ] || falla "el agente de Linux no imprimió nada: $(cat "$tmp/muestras-linux/agente.log")"
diff "$tmp/linux.lista" "$tmp/windows.lista" >/dev/null ||
    falla "otros documentos en Windows: $(diff "$tmp/linux.lista" "$tmp/windows.lista")"
# A cancellation prints the time it was printed at.
sinhora() { sed -E 's/[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}/AAAA-MM-DD HH:MM:SS/' "$1"; }
while read -r f; do
    diff <(sinhora "$tmp/muestras-linux/pdf/$f") <(sinhora "$tmp/muestras-windows/pdf/$f") >"$tmp/doc.diff" ||
        falla "$f difiere: $(head -5 "$tmp/doc.diff")"
done <"$tmp/linux.lista"
diario() { "$1" --trabajos --carpeta "$2/agente" | cut -f3-; }
diff <(diario "$agente_l" "$tmp/muestras-linux") <(diario "$agente_w" "$tmp/muestras-windows") >"$tmp/diario.diff" ||
    falla "el diario de Windows difiere: $(cat "$tmp/diario.diff")"
cp "$tmp/diario.diff" /tmp/diario.diff
[ "$(diario "$agente_w" "$tmp/muestras-windows" | wc -l)" -ge ${#mensajes[@]} ] || falla "diario de Windows corto"
"$agente_w" --trabajos --carpeta "$tmp/muestras-windows/agente" |
    grep -qE "^1${t}[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}${t}" || falla "--trabajos: número y hora"

# --- a kitchen ticket to the ESC/POS emulator over tcp:// -------------------------------------------------
for lado in linux windows; do
    agente=$agente_l
    [ $lado = windows ] && agente=$agente_w
    mkdir -p "$tmp/escpos-$lado/impresora"
    ipuerto=$((20000 + RANDOM % 40000))
    "$impresora" --puerto "$ipuerto" --salida "$tmp/escpos-$lado/impresora" >"$tmp/escpos-$lado.log" 2>&1 &
    pids+=($!)
    hasta grep -q escuchando "$tmp/escpos-$lado.log" || falla "kestrel-impresora no arrancó"
    caso "escpos-$lado" "$agente" 1 "$muestras/comanda.json" -- --impresoras-virtuales Facturas,Bar \
        --salida "$tmp/escpos-$lado/pdf" --escpos "Cocina=tcp://127.0.0.1:$ipuerto"
done
[ -s "$tmp/escpos-windows/impresora/trabajo-1.txt" ] || falla "la impresora ESC/POS no recibió la comanda"
cmp -s "$tmp/escpos-linux/impresora/trabajo-1.bin" "$tmp/escpos-windows/impresora/trabajo-1.bin" ||
    falla "bytes ESC/POS distintos: $(diff "$tmp/escpos-linux/impresora/trabajo-1.txt" "$tmp/escpos-windows/impresora/trabajo-1.txt" | head)"

# --- the same ticket through a COM port: Wine's serial port over a pseudo-terminal, to the emulator ---------
mkdir -p "$tmp/com/impresora"
ipuerto=$((20000 + RANDOM % 40000))
"$impresora" --puerto "$ipuerto" --salida "$tmp/com/impresora" >"$tmp/com-impresora.log" 2>&1 &
pids+=($!)
hasta grep -q escuchando "$tmp/com-impresora.log" || falla "kestrel-impresora no arrancó"
prefijo=$(sed -n 's/^export WINEPREFIX=\([^ ]*\) .*/\1/p' "$agente_w")
: >"$tmp/com-puerto.log" # there before the bridge writes to it, so the wait below never reads a missing file
"$(dirname "$(realpath "$0")")/puerto_serie.py" "$prefijo/dosdevices/com7" "$ipuerto" >"$tmp/com-puerto.log" 2>&1 &
pids+=($!)
hasta grep -q listo "$tmp/com-puerto.log" || falla "no se creó el puerto serie: $(cat "$tmp/com-puerto.log")"
caso com "$agente_w" 1 "$muestras/comanda.json" -- --impresoras-virtuales Facturas,Bar --salida "$tmp/com/pdf" \
    --escpos "Cocina=dispositivo:COM7"
rm -f "$prefijo/dosdevices/com7"
grep -q "^comanda${t}Cocina${t}Cocina${t}impreso${t}" <<<"$("$agente_w" --trabajos --carpeta "$tmp/com/agente" | cut -f3-)" ||
    falla "comanda por COM7: $(cat "$tmp/com/agente.log")"
grep -q 'Cocina: lista' "$tmp/com/agente.log" || falla "COM7: la impresora no contestó su estado por el puerto"
cmp -s "$tmp/escpos-linux/impresora/trabajo-1.bin" "$tmp/com/impresora/trabajo-1.bin" ||
    falla "bytes por COM7 distintos: $(diff "$tmp/escpos-linux/impresora/trabajo-1.txt" "$tmp/com/impresora/trabajo-1.txt" | head)"

# --- Windows printers: the private scheduler's queues seen through Wine's spooler ------------------------
eval "$("$caja_cups" start "$caja" Facturas Cocina)" || falla "no arrancó el planificador CUPS privado"
caso cups "$agente_w" 2 "$muestras/comanda.json" "$muestras/cajon.json" --
lista=$("$agente_w" --trabajos --carpeta "$tmp/cups/agente" | cut -f3-)
grep -q "^comanda${t}Cocina${t}Cocina${t}impreso${t}" <<<"$lista" || falla "comanda de Cocina: $lista"
grep -q "^cajon${t}Facturas${t}Facturas${t}impreso${t}" <<<"$lista" || falla "cajón: $lista"
ls "$caja"/out/Cocina-* >/dev/null 2>&1 || falla "la comanda no llegó a la cola Cocina: $(ls "$caja/out")"
cajon=$(for f in "$caja"/out/Facturas-*; do [ "$(od -An -tx1 "$f" | tr -d ' \n')" = 1b70003cf0 ] && echo "$f"; done)
[ -n "$cajon" ] || falla "ningún trabajo de Facturas son los cinco bytes del cajón: $(ls -l "$caja/out")"

[ "$fallos" = 0 ] && echo "todo bien" && exit 0
exit 1
