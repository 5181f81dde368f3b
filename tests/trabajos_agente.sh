#!/bin/bash
# The job journal as support meets it over a remote shell: a message's documents each leave one entry, a
# ticket for an area whose printer is not installed reads re-routed to the default printer, a reprint by
# number prints the same document again and is recorded, a damaged journal is set aside and a read-only one
# does not stop the printing.
#   trabajos_agente.sh KESTREL_AGENTE KESTREL_SERVICIO MUESTRAS
set -uo pipefail
agente=$1 servicio=$2 muestras=$3
tmp=$(mktemp -d)
pid=
trap '[ -z "$pid" ] || kill "$pid" 2>/dev/null; wait 2>/dev/null; rm -rf "$tmp"' EXIT
# shellcheck source=comun.sh
. "$(dirname "$(realpath "$0")")/comun.sh"
export XDG_CONFIG_HOME="$tmp/usuario" XDG_CONFIG_DIRS="$tmp/sistema" XDG_RUNTIME_DIR="$tmp"
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$tmp/agente" "$tmp/pdf"
echo 123456789012345 >"$tmp/agente/Acceso"
cp "$muestras/logo.bmp" "$tmp/agente/"

arrancar_servicio "$tmp/servicio.log" --salir-tras-respuestas 3 --enviar "$muestras/comanda.json" \
    --enviar "$muestras/factura-cerrada-pagos.json" --enviar "$muestras/cajon.json" || falla "kestrel-servicio no arrancó"
# Only "Facturas" and "Cocina" exist: the order's "Bar" ticket goes to the default printer.
QT_QPA_PLATFORM=offscreen timeout 30 "$agente" --servidor "127.0.0.1:$puerto" --carpeta "$tmp/agente" \
    --impresoras-virtuales Facturas,Cocina --salida "$tmp/pdf" >"$tmp/agente.log" 2>&1 &
agente_pid=$!
wait "$pid" 2>/dev/null
pid=
kill "$agente_pid" 2>/dev/null
wait "$agente_pid" 2>/dev/null

lista=$("$agente" --trabajos --carpeta "$tmp/agente" 2>&1) || falla "--trabajos: salida $?: $lista"
campos() { cut -f3- <<<"$lista" | sed -n "$1p"; }
t=$'\t'
[ "$(campos 1)" = "comanda${t}Cocina${t}Cocina${t}impreso${t}" ] || falla "comanda de Cocina: $(campos 1)"
[ "$(campos 2)" = "comanda${t}Bar${t}Facturas${t}reenviado${t}Bar no está instalada" ] || falla "comanda de Bar: $(campos 2)"
[ "$(campos 3)" = "factura${t}Facturas${t}Facturas${t}impreso${t}" ] || falla "factura: $(campos 3)"
[ "$(campos 4)" = "cajon${t}Facturas${t}Facturas${t}impreso${t}" ] || falla "cajón: $(campos 4)"
[ "$(wc -l <<<"$lista")" = 4 ] || falla "se esperaban 4 trabajos: $lista"
grep -qE '^1'"$t"'[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}'"$t" <<<"$lista" || falla "número y hora: $lista"

# The invoice again, on the other printer: the same pages, recorded as a reprint.
salida=$("$agente" --reimprimir 3 --impresora Cocina --carpeta "$tmp/agente" --impresoras-virtuales Facturas,Cocina \
    --salida "$tmp/pdf" 2>&1) || falla "--reimprimir 3: salida $?: $salida"
original=$(grep -il "la garza" "$tmp"/pdf/Facturas-*.txt)
copia=$(ls "$tmp"/pdf/Cocina-*.txt | tail -1)
diff -q "$original" "$copia" >/dev/null || falla "la reimpresión no es igual a la factura: $(diff "$original" "$copia" | head)"
lista=$("$agente" --trabajos --carpeta "$tmp/agente")
[ "$(campos 5)" = "reimpresion${t}Cocina${t}Cocina${t}impreso${t}" ] || falla "reimpresión: $(campos 5)"
"$agente" --reimprimir 4 --carpeta "$tmp/agente" --impresoras-virtuales Facturas --salida "$tmp/pdf" >/dev/null 2>&1 ||
    falla "reimprimir el cajón"
ls "$tmp"/pdf/Facturas-cajon-* >/dev/null 2>&1 || falla "el cajón reimpreso no dejó su pulso"

salida=$("$agente" --reimprimir 99 --carpeta "$tmp/agente" --impresoras-virtuales Facturas --salida "$tmp/pdf" 2>&1)
[ $? = 1 ] && grep -q "no existe el trabajo 99" <<<"$salida" || falla "trabajo que no existe: $salida"
salida=$("$agente" --reimprimir 1 --impresora Bar --carpeta "$tmp/agente" --impresoras-virtuales Facturas \
    --salida "$tmp/pdf" 2>&1)
[ $? = 1 ] && grep -q "Bar no está instalada" <<<"$salida" || falla "impresora que no existe: $salida"

# A damaged journal is set aside, its write-ahead log beside it under the same name, and a new one started.
rm -f "$tmp"/agente/trabajos.sqlite-*
head -c 4096 /dev/urandom >"$tmp/agente/trabajos.sqlite"
head -c 4096 /dev/urandom >"$tmp/agente/trabajos.sqlite-wal"
cp "$tmp/agente/trabajos.sqlite-wal" "$tmp/wal"
salida=$("$agente" --trabajos --carpeta "$tmp/agente" 2>&1) || falla "diario dañado: salida $?"
grep -q "dañado" <<<"$salida" || falla "diario dañado sin aviso: $salida"
aparte=$(ls "$tmp"/agente/trabajos.sqlite.danado-* 2>/dev/null | grep -v -- '-wal$' | grep -v -- '-shm$')
[ -n "$aparte" ] || falla "el diario dañado no quedó aparte"
cmp -s "$tmp/wal" "$aparte-wal" || falla "el registro del diario dañado no quedó a su lado: $(ls "$tmp/agente")"

# A journal that cannot be written (a read-only file; root keeps the file modes only without its override
# capability) is reported once, and printing and replies go on.
rm -f "$tmp"/agente/trabajos.sqlite-*
chmod 444 "$tmp/agente/trabajos.sqlite"
sin_permiso=()
[ "$(id -u)" = 0 ] && sin_permiso=(setpriv --bounding-set -dac_override,-dac_read_search --)
arrancar_servicio "$tmp/servicio2.log" --salir-tras-respuestas 2 --enviar "$muestras/comanda.json" \
    --enviar "$muestras/comanda.json" || falla "kestrel-servicio no arrancó"
QT_QPA_PLATFORM=offscreen timeout 30 "${sin_permiso[@]}" "$agente" --servidor "127.0.0.1:$puerto" \
    --carpeta "$tmp/agente" --impresoras-virtuales Facturas,Cocina --salida "$tmp/pdf2" >"$tmp/agente2.log" 2>&1 &
agente_pid=$!
wait "$pid" 2>/dev/null || falla "el servicio no recibió sus respuestas con el diario de solo lectura"
pid=
kill "$agente_pid" 2>/dev/null
wait "$agente_pid" 2>/dev/null
[ "$(ls "$tmp"/pdf2/*.pdf 2>/dev/null | wc -l)" = 4 ] || falla "sin diario no se imprimieron las 4 comandas"
[ "$(grep -c "Diario de trabajos: .*La impresión sigue; los trabajos esperan en memoria" "$tmp/agente2.log")" = 1 ] ||
    falla "el diario de solo lectura no se informó una vez: $(grep Diario "$tmp/agente2.log")"

[ "$fallos" = 0 ] && echo "todo bien" && exit 0
tail -20 "$tmp/agente.log"
exit 1
