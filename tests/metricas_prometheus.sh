#!/bin/bash
# The metrics as a head office reads them: a real Prometheus, started here on loopback with a data folder of its
# own, scrapes an agent that talks to the demo service and prints its kitchen tickets on the ESC/POS printer
# emulator. After a known run (an order; the printer out of paper; an order re-routed; paper back) the series
# read through Prometheus's HTTP API hold what happened, and promtool accepts the exposition. Then hostile
# clients on the metrics port (a request that never ends, a 1 MB request line, 1,000 connections) while the
# service sends an order: the agent still answers it, and the endpoint still answers afterwards. Every wait is
# on a condition, never on the clock.
#   metricas_prometheus.sh KESTREL_AGENTE KESTREL_SERVICIO KESTREL_IMPRESORA MUESTRAS REGLAS
set -uo pipefail
agente=$1 servicio=$2 impresora=$3 muestras=$4 reglas=$5
tmp=$(mktemp -d)
pid='' ipid='' apid='' ppid_='' spid=''
# shellcheck disable=SC2086 # each is a process id or nothing
trap 'kill $pid $ipid $apid $ppid_ $spid 2>/dev/null; wait 2>/dev/null; rm -rf "$tmp"' EXIT
# shellcheck source=comun.sh
. "$(dirname "$(realpath "$0")")/comun.sh"
export XDG_CONFIG_HOME="$tmp/usuario" XDG_CONFIG_DIRS="$tmp/sistema" XDG_RUNTIME_DIR="$tmp" QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY
chmod 700 "$tmp"

# Polls until the command succeeds, for at most 30 s.
hasta() {
    for _ in $(seq 300); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}
libre() { echo $((20000 + RANDOM % 40000)); }

# The value of a PromQL expression now, through Prometheus's HTTP API ("" when it has no sample).
valor() { promtool query instant "http://127.0.0.1:$pprom" "$1" 2>/dev/null | sed -n 's/.* => \([^ ]*\) @.*/\1/p' | head -1; }
vale() { [ "$(valor "$1")" = "$2" ]; }
# Sends a sample message through the service's drop folder, whole.
enviar() {
    cp "$muestras/$1" "$tmp/envio.tmp" && mv "$tmp/envio.tmp" "$tmp/buzon/$(date +%s%N).json"
}
respuestas() { grep -c ' estado ' "$tmp/servicio.log"; }
mas_respuestas() { [ "$(respuestas)" -gt "$1" ]; }
# The answer of the metrics endpoint to a request head, read over a plain socket.
pedir() {
    local fd
    exec {fd}<>"/dev/tcp/127.0.0.1/$pmet" || return 1
    printf '%s\r\nHost: prueba\r\n\r\n' "$1" >&"$fd"
    timeout 10 cat <&"$fd"
    exec {fd}>&-
}

mkdir -p "$tmp/agente" "$tmp/pdf" "$tmp/buzon" "$tmp/datos"
echo 123456789012345 >"$tmp/agente/Acceso"
echo normal >"$tmp/control"
"$impresora" --puerto 0 --salida "$tmp/impresora" --control "$tmp/control" >"$tmp/impresora.log" 2>&1 &
ipid=$!
hasta grep -q escuchando "$tmp/impresora.log" || { echo "kestrel-impresora no arrancó"; exit 1; }
pimp=$(sed -n 's/.* en el puerto \([0-9]*\);.*/\1/p' "$tmp/impresora.log")
arrancar_servicio "$tmp/servicio.log" --buzon "$tmp/buzon" || { echo "kestrel-servicio no arrancó"; exit 1; }
# The agent polls every second, so a state change reaches it without waiting on a document.
for _ in 1 2 3 4 5; do
    pmet=$(libre)
    "$agente" --servidor "127.0.0.1:$puerto" --carpeta "$tmp/agente" --salida "$tmp/pdf" \
        --impresoras-virtuales Facturas,Bar --escpos "Cocina=tcp://127.0.0.1:$pimp" \
        --metricas "127.0.0.1:$pmet" --sondeo-impresoras 1 >"$tmp/agente.log" 2>&1 &
    apid=$!
    hasta grep -qE "Métricas en|No se pudieron publicar" "$tmp/agente.log"
    grep -q "Métricas en" "$tmp/agente.log" && break
    kill $apid && wait $apid 2>/dev/null
    apid=''
done
[ -n "$apid" ] || { echo "el agente no pudo publicar sus métricas: $(cat "$tmp/agente.log")"; exit 1; }

cat >"$tmp/prometheus.yml" <<FIN
global:
  scrape_interval: 1s
  evaluation_interval: 1s
rule_files: ["$reglas"]
scrape_configs:
  - job_name: kestrel
    static_configs:
      - targets: ["127.0.0.1:$pmet"]
        labels: {sucursal: prueba}
FIN
for _ in 1 2 3 4 5; do
    pprom=$(libre)
    prometheus --config.file="$tmp/prometheus.yml" --storage.tsdb.path="$tmp/datos" \
        --web.listen-address="127.0.0.1:$pprom" >"$tmp/prometheus.log" 2>&1 &
    ppid_=$!
    hasta vale 'up{job="kestrel"}' 1 && break
    kill $ppid_ 2>/dev/null && wait $ppid_ 2>/dev/null
    ppid_=''
done
[ -n "$ppid_" ] || { echo "prometheus no leyó al agente: $(tail -5 "$tmp/prometheus.log")"; exit 1; }

# One order on ready printers, then paper out: Prometheus sees the state before the next order, which is
# re-routed to the default printer; then paper back.
hasta vale 'kestrel_enlace_conectado' 1 || falla "el enlace no figura conectado"
enviar comanda.json
hasta vale 'kestrel_documentos_total{tipo="comanda",impresora="Cocina",estado="impreso"}' 1 ||
    falla "la primera comanda de Cocina no figura impresa"
echo sin-papel >"$tmp/control"
hasta vale 'kestrel_impresora_estado{impresora="Cocina",estado="sin papel"}' 1 || falla "Cocina no figura sin papel"
vale 'kestrel_impresora_estado{impresora="Cocina",estado="lista"}' 0 || falla "Cocina sin papel sigue lista"
enviar comanda.json
hasta vale 'kestrel_documentos_total{tipo="comanda",impresora="Cocina",estado="reenviado"}' 1 ||
    falla "la segunda comanda de Cocina no figura reenviada"
echo normal >"$tmp/control"
hasta vale 'kestrel_impresora_estado{impresora="Cocina",estado="lista"}' 1 || falla "Cocina no volvió a lista"

# Polled every second, the printer gave one balloon turning bad and one coming back.
for globo in "Impresora Cocina: sin papel" "Impresora Cocina: lista"; do
    [ "$(grep -c "kestrel.globos info: Impresoras: $globo\$" "$tmp/agente.log")" = 1 ] ||
        falla "globo \"$globo\": $(grep -c "$globo" "$tmp/agente.log") veces"
done

declare -A esperado=(
    ['kestrel_build_info']=1
    ['kestrel_enlace_conectado']=1
    ['kestrel_enlace_reconexiones_total']=0
    ['kestrel_mensajes_total{tipo="comanda"}']=2
    ['kestrel_mensajes_total{tipo="desconocido"}']=0
    ['kestrel_documentos_total{tipo="comanda",impresora="Cocina",estado="impreso"}']=1
    ['kestrel_documentos_total{tipo="comanda",impresora="Cocina",estado="reenviado"}']=1
    ['kestrel_documentos_total{tipo="comanda",impresora="Bar",estado="impreso"}']=2
    ['kestrel_documentos_total{tipo="comanda",impresora="Facturas",estado="impreso"}']=0
    ['sum(kestrel_documentos_total{estado="fallido"})']=0
    ['max_over_time(kestrel_impresora_estado{impresora="Cocina",estado="sin papel"}[10m])']=1
    ['sum by (impresora) (kestrel_impresora_estado{impresora="Cocina"})']=1
    ['kestrel_impresora_estado{impresora="Facturas",estado="lista"}']=1
    ['kestrel_diario_errores_total']=0
    ['count(kestrel_impresora_ultimo_documento_segundos > time() - 600)']=2
    ['count(process_resident_memory_bytes > 1e6)']=1
    ['count(process_start_time_seconds > time() - 600)']=1
)
for serie in "${!esperado[@]}"; do
    hasta vale "$serie" "${esperado[$serie]}" || falla "$serie: ${esperado[$serie]} esperado, $(valor "$serie") leído"
done
# The re-route's alert fires from the same series the rules read.
hasta vale 'count(ALERTS{alertname="KestrelDocumentosReenviados",impresora="Cocina",alertstate="firing"})' 1 ||
    falla "la alerta de reenvíos no se disparó"

exposicion=$(pedir 'GET /metrics HTTP/1.1')
grep -q '^HTTP/1.1 200 ' <<<"$exposicion" || falla "GET /metrics: $(head -1 <<<"$exposicion")"
sed '1,/^\r$/d' <<<"$exposicion" | promtool check metrics || falla "promtool no acepta la exposición"
for pedido in 'GET /otra HTTP/1.1' 'POST /metrics HTTP/1.1' 'GET /metrics'; do
    grep -q '^HTTP/1.1 404 ' <(pedir "$pedido") || falla "$pedido no respondió 404"
done

# Hostile clients: one never ends its request, one sends a 1 MB request line, a thousand connect at once.
exec {lento}<>"/dev/tcp/127.0.0.1/$pmet"
printf 'GET /metr' >&"$lento"
(head -c 1048576 /dev/zero | tr '\0' a >"/dev/tcp/127.0.0.1/$pmet") 2>/dev/null &
largo=$!
ulimit -n 4096
multitud=()
for _ in $(seq 1000); do
    exec {fd}<>"/dev/tcp/127.0.0.1/$pmet" 2>/dev/null && multitud+=("$fd")
done
[ "${#multitud[@]}" -ge 900 ] || falla "solo se abrieron ${#multitud[@]} conexiones"
antes=$(respuestas)
enviar comanda.json
hasta mas_respuestas "$antes" || falla "con clientes hostiles el agente no respondió al servicio"
# The request that never ends is cut at its time limit.
timeout 20 cat <&"$lento" >/dev/null || falla "la petición sin fin no se cortó"
wait $largo
for fd in "${multitud[@]}" "$lento"; do exec {fd}>&-; done
grep -q '^HTTP/1.1 200 ' <(pedir 'GET /metrics HTTP/1.1') || falla "después de los clientes hostiles /metrics no responde"
hasta vale 'kestrel_mensajes_total{tipo="comanda"}' 3 || falla "la comanda de después no figura en Prometheus"

# Over HTTPS: a second agent (no service to reach) with a certificate for 127.0.0.1, scraped by the same
# Prometheus once its configuration is reloaded with the chain's authority.
openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 \
    -keyout "$tmp/metricas.key" -out "$tmp/metricas.pem" 2>/dev/null || falla "openssl no hizo el certificado"
mkdir -p "$tmp/segundo"
echo 123456789012346 >"$tmp/segundo/Acceso"
pseg=$(libre)
"$agente" --servidor "127.0.0.1:1" --carpeta "$tmp/segundo" --salida "$tmp/pdf2" --impresoras-virtuales Caja \
    --metricas "127.0.0.1:$pseg" --metricas-certificado "$tmp/metricas.pem" --metricas-clave "$tmp/metricas.key" \
    >"$tmp/segundo.log" 2>&1 &
spid=$!
hasta grep -q "Métricas en https://127.0.0.1:$pseg/metrics" "$tmp/segundo.log" || falla "HTTPS: $(cat "$tmp/segundo.log")"
cat >>"$tmp/prometheus.yml" <<FIN
  - job_name: kestrel-https
    scheme: https
    tls_config: {ca_file: "$tmp/metricas.pem"}
    static_configs:
      - targets: ["127.0.0.1:$pseg"]
FIN
kill -HUP "$ppid_"
hasta vale 'kestrel_impresora_estado{job="kestrel-https",impresora="Caja",estado="lista"}' 1 ||
    falla "Prometheus no leyó las métricas por HTTPS: $(valor 'up{job="kestrel-https"}')"
grep -q '^HTTP/1.1 200 ' <(pedir 'GET /metrics HTTP/1.1') || falla "el primer agente dejó de responder"
kill "$spid"

[ "$fallos" = 0 ] && echo "todo bien" && exit 0
tail -20 "$tmp/agente.log"
exit 1
