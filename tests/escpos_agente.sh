#!/bin/bash
# Receipt printers spoken to in ESC/POS as a branch meets them: the agent, the demo service and the printer
# emulator over loopback. A kitchen ticket reaches a ready printer whole and cut; a printer out of paper fails
# its probe and the ticket goes to the default printer; paper that runs out after one ticket sends the next
# one there too; a printer that drops the connection mid-ticket, one that never reads and one that reads far
# too slowly have it re-routed by the follow-up, while one that never answers its status but takes every byte
# is trusted; the cash drawer on an ESC/POS default printer is its five bytes and nothing else; a reprint from
# the command line is followed to its end. Each step waits on files and processes, never on the clock.
#   escpos_agente.sh KESTREL_AGENTE KESTREL_SERVICIO KESTREL_IMPRESORA MUESTRAS
set -uo pipefail
agente=$1 servicio=$2 impresora=$3 muestras=$4
tmp=$(mktemp -d)
pid='' ipid='' apid=''
# shellcheck disable=SC2086 # each is a process id or nothing
trap 'kill $pid $ipid $apid 2>/dev/null; wait 2>/dev/null; rm -rf "$tmp"' EXIT
# shellcheck source=comun.sh
. "$(dirname "$(realpath "$0")")/comun.sh"
export XDG_CONFIG_HOME="$tmp/usuario" XDG_CONFIG_DIRS="$tmp/sistema" XDG_RUNTIME_DIR="$tmp" QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY
t=$'\t'

# Polls until the command succeeds, for at most 30 s (a printer that stops reading takes 10 s to fail).
hasta() {
    for _ in $(seq 300); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# True once process $1 has ended.
terminado() { ! kill -0 "$1" 2>/dev/null; }

# True when the journal of case folder $1 has entries and none is still on its way; sets lista to them
# without number and time.
asentado() {
    lista=$("$agente" --trabajos --carpeta "$1/agente" 2>&1 | cut -f3-)
    [ -n "$lista" ] && ! grep -q "${t}enviando${t}" <<<"$lista"
}

# Stops the agent and the emulator of a case.
parar() {
    # shellcheck disable=SC2086 # each is a process id or nothing
    kill $apid $ipid 2>/dev/null
    # shellcheck disable=SC2086
    wait $apid $ipid 2>/dev/null
    apid='' ipid=''
}

# Runs one case in $tmp/CASO: the emulator with its OPCIONES (jobs in CASO/impresora), the service sending the
# MENSAJES from the samples, and the agent with the virtual printers Facturas (the default), Cocina and Bar and
# the ESC/POS printer NOMBRE on the emulator, until the service has every reply and the journal has settled.
# Sets dir and lista.
#   caso CASO NOMBRE "OPCIONES" MENSAJE...
caso() {
    dir=$tmp/$1
    local nombre=$2 opciones=$3 envios=() m
    shift 3
    for m in "$@"; do
        [[ $m = /* ]] || m=$muestras/$m
        envios+=(--enviar "$m")
    done
    lista=
    mkdir -p "$dir/agente" "$dir/pdf"
    echo 123456789012345 >"$dir/agente/Acceso"
    # shellcheck disable=SC2086 # the options are words
    "$impresora" --puerto 0 --salida "$dir/impresora" $opciones >"$dir/impresora.log" 2>&1 &
    ipid=$!
    if ! hasta grep -q escuchando "$dir/impresora.log"; then
        falla "$1: kestrel-impresora no arrancó: $(cat "$dir/impresora.log")"
        parar
        return
    fi
    local ipuerto
    ipuerto=$(sed -n 's/.* en el puerto \([0-9]*\);.*/\1/p' "$dir/impresora.log")
    if ! arrancar_servicio "$dir/servicio.log" --salir-tras-respuestas $# "${envios[@]}"; then
        falla "$1: kestrel-servicio no arrancó"
        parar
        return
    fi
    timeout 60 "$agente" --servidor "127.0.0.1:$puerto" --carpeta "$dir/agente" --salida "$dir/pdf" \
        --impresoras-virtuales Facturas,Cocina,Bar --escpos "$nombre=tcp://127.0.0.1:$ipuerto" >"$dir/agente.log" 2>&1 &
    apid=$!
    hasta terminado "$pid" || falla "$1: el servicio no recibió sus $# respuestas"
    wait "$pid" 2>/dev/null || falla "$1: el servicio terminó con error: $(tail -3 "$dir/servicio.log")"
    pid=
    hasta asentado "$dir" || falla "$1: el diario no se asentó: $lista"
    parar
}

# Lines of a file without the emulator's annotations: what would be read on the paper.
en_papel() { sed -E '/^\[(avance [0-9]+|corte)\]$/d; s/^\[[^]]*\] ?//' "$1"; }
# The kitchen ticket of a message as the text view lays it out.
vista_cocina() {
    "$agente" --previsualizar "$1" --impresoras Facturas,Cocina,Bar 2>"$tmp/previa.log" |
        sed -n '/^=== Cocina ===$/,/^=== /p' | sed '1d;$d'
}
cocina=$(vista_cocina "$muestras/comanda.json")
[ -n "$cocina" ] || falla "la vista previa no tiene la comanda de Cocina: $(cat "$tmp/previa.log")"
# A rush order: 60 dishes make a ticket of several kilobytes, more than a printer's network buffer holds.
awk '/"Bandeja paisa"/ { for (i = 0; i < 59; i++) print } { print }' "$muestras/comanda.json" >"$tmp/grande.json"
cocina_grande=$(vista_cocina "$tmp/grande.json")

# A ready printer: the order's kitchen ticket, as the text view lays it out, and cut.
caso normal Cocina "--estado normal" comanda.json
[ "$(en_papel "$dir/impresora/trabajo-1.txt")" = "$cocina" ] ||
    falla "normal: la comanda no llegó como se ve: $(diff <(en_papel "$dir/impresora/trabajo-1.txt") <(echo "$cocina"))"
[ "$(tail -1 "$dir/impresora/trabajo-1.txt")" = "[corte]" ] || falla "normal: la comanda no termina cortada"
[ "$(sed -n 1p <<<"$lista")" = "comanda${t}Cocina${t}Cocina${t}impreso${t}" ] || falla "normal: diario $lista"
# A reprint from the command line is followed to its end: to a printer that drops the connection mid-ticket it
# says so and fails, as the ticket is re-routed, instead of reporting what never reached the paper.
"$impresora" --puerto 0 --salida "$dir/reimpresion" --cortar-tras 100 >"$dir/reimpresion.log" 2>&1 &
ipid=$!
hasta grep -q escuchando "$dir/reimpresion.log" || falla "reimpresión: kestrel-impresora no arrancó"
ipuerto=$(sed -n 's/.* en el puerto \([0-9]*\);.*/\1/p' "$dir/reimpresion.log")
salida=$("$agente" --reimprimir 1 --carpeta "$dir/agente" --impresoras-virtuales Facturas,Cocina,Bar \
    --salida "$dir/pdf" --escpos "Cocina=tcp://127.0.0.1:$ipuerto" 2>&1)
[ $? = 1 ] && grep -q "cortó la conexión" <<<"$salida" || falla "reimpresión cortada: $salida"
[ "$(head -1 "$dir/pdf/Facturas-1.txt" 2>/dev/null)" = "Error en Impresora Cocina" ] ||
    falla "reimpresión cortada: no se reenvió a Facturas"
parar

# Out of paper: the probe fails before anything is sent and the ticket goes to the default printer with the
# notice the documents print when they fall back.
caso sin-papel Cocina "--estado sin-papel" comanda.json
ls "$dir"/impresora/trabajo-* >/dev/null 2>&1 && falla "sin-papel: la impresora recibió un trabajo"
[ "$(head -1 "$dir/pdf/Facturas-1.txt")" = "Error en Impresora Facturas" ] ||
    falla "sin-papel: el aviso de respaldo falta: $(head -2 "$dir/pdf/Facturas-1.txt")"
[ "$(sed 1d "$dir/pdf/Facturas-1.txt")" = "$cocina" ] || falla "sin-papel: la comanda reenviada no es la de Cocina"
[ "$(sed -n 1p <<<"$lista")" = "comanda${t}Cocina${t}Facturas${t}reenviado${t}Cocina: sin papel" ] ||
    falla "sin-papel: diario $lista"

# The paper ends with the first ticket. The status asked at the end of that job still found paper, so the
# second order's ticket is the one re-routed: by its probe (the notice names the default printer) or, had
# the job's own status seen the end, by the follow-up (it names the failed one).
caso papel-para Cocina "--papel-para 1" comanda.json comanda.json
cocinas=$(grep "^comanda${t}Cocina${t}" <<<"$lista")
[ "$(cut -f4 <<<"$cocinas" | tr '\n' ' ')" = "impreso reenviado " ] || falla "papel-para: diario $lista"
grep -q "${t}reenviado${t}Cocina: sin papel$" <<<"$cocinas" || falla "papel-para: sin el motivo: $lista"
[ "$(find "$dir/impresora" -name 'trabajo-*.bin' | wc -l)" = 1 ] || falla "papel-para: trabajos $(ls "$dir/impresora")"
[ "$(en_papel "$dir/impresora/trabajo-1.txt")" = "$cocina" ] || falla "papel-para: la primera comanda no llegó entera"
grep -qxE "Error en Impresora (Facturas|Cocina)" <(head -1 "$dir/pdf/Facturas-1.txt") ||
    falla "papel-para: el reenvío no tiene su aviso: $(head -2 "$dir/pdf/Facturas-1.txt")"
[ "$(sed 1d "$dir/pdf/Facturas-1.txt")" = "$cocina" ] || falla "papel-para: la comanda reenviada no es la de Cocina"

# A printer that drops the connection once part of the ticket is in: the job fails after it was sent and the
# follow-up re-routes it, headed with the printer that failed.
caso corta Cocina "--cortar-tras 100" comanda.json
[ "$(sed -n 1p <<<"$lista")" = "comanda${t}Cocina${t}Facturas${t}reenviado${t}Cocina: cortó la conexión" ] ||
    falla "corta: diario $lista"
[ "$(head -1 "$dir/pdf/Facturas-1.txt")" = "Error en Impresora Cocina" ] ||
    falla "corta: el reenvío no tiene su aviso: $(head -2 "$dir/pdf/Facturas-1.txt")"

# A printer that takes the connection and never reads, and one that reads 10 bytes a second (it answers its
# probe): the ticket is not printed there but re-routed once, when ten seconds pass without the printer taking
# more of it or answering its status after it.
# The silent one never answers its probe: a ticket its buffer takes whole would be trusted, a rush order is not.
for modo in no-lee lee-lento; do
    if [ $modo = no-lee ]; then
        caso $modo Cocina --no-lee "$tmp/grande.json"
        esperada=$cocina_grande
    else
        caso $modo Cocina "--lee-lento 10" comanda.json
        esperada=$cocina
    fi
    [ "$(sed -n 1p <<<"$lista")" = "comanda${t}Cocina${t}Facturas${t}reenviado${t}Cocina: no recibe datos" ] ||
        falla "$modo: diario $lista"
    [ "$(head -1 "$dir/pdf/Facturas-1.txt" 2>/dev/null)" = "Error en Impresora Cocina" ] &&
        [ "$(sed 1d "$dir/pdf/Facturas-1.txt")" = "$esperada" ] || falla "$modo: no se reenvió la comanda a Facturas"
    [ -e "$dir/pdf/Facturas-2.txt" ] && falla "$modo: la comanda se reenvió más de una vez"
done

# A printer that never answers its status but takes every byte is trusted.
caso muda Cocina "--no-contesta" comanda.json
[ "$(sed -n 1p <<<"$lista")" = "comanda${t}Cocina${t}Cocina${t}impreso${t}" ] || falla "muda: diario $lista"
[ "$(en_papel "$dir/impresora/trabajo-1.txt")" = "$cocina" ] || falla "muda: la comanda no llegó entera"

# The cash drawer on an ESC/POS default printer: the pulse and nothing else.
caso cajon Facturas "" cajon.json
[ "$(od -An -tx1 "$dir/impresora/trabajo-1.bin" | tr -s ' \n' ' ')" = " 1b 70 00 3c f0 " ] ||
    falla "cajón: bytes $(od -An -tx1 "$dir/impresora/trabajo-1.bin")"
[ "$lista" = "cajon${t}Facturas${t}Facturas${t}impreso${t}" ] || falla "cajón: diario $lista"

[ "$fallos" = 0 ] && echo "todo bien" && exit 0
tail -20 "$dir/agente.log"
exit 1
