#!/bin/bash
# The link over TLS with certificates made here: a test authority, a server certificate for localhost and
# 127.0.0.1, a client certificate, an expired one and one for another name. Identification and a kitchen
# order go through; each bad certificate, a service that does not speak TLS and a service that requires a
# client certificate the agent does not present are refused with their reason, and nothing is sent.
#   tls_enlace.sh KESTREL_AGENTE KESTREL_SERVICIO CARPETA_MUESTRAS
# The Windows agent under Wine runs it too (scripts/pruebas-windows) with KESTREL_ARRANQUE_AGENTE, the seconds a
# Wine program takes to start, and KESTREL_TLS_SIN_CA=1: Wine 8's Schannel refuses every server certificate
# signed by the --ca authority as "emisor desconocido", so the two links that must succeed cannot be tried
# there; the refusals still are.
set -uo pipefail
arranque=${KESTREL_ARRANQUE_AGENTE:-0}
agente=$(realpath "$1") servicio=$(realpath "$2") muestras=$(realpath "$3")
tmp=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; wait 2>/dev/null; rm -rf "$tmp"' EXIT
# shellcheck source=comun.sh
. "$(dirname "$(realpath "$0")")/comun.sh"
cd "$tmp" || exit 1

# --- certificates ----------------------------------------------------------------------------------------
printf '[ca]\ndefault_ca=p\n[p]\ndir=.\ndatabase=index.txt\nnew_certs_dir=.\nserial=serial\ndefault_md=sha256\n'`
    `'policy=t\ncopy_extensions=copy\n[t]\ncommonName=supplied\n' >ca.cnf
touch index.txt
echo 01 >serial
openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 30 -subj "/CN=Autoridad de prueba" \
    2>/dev/null
firmar() { # nombre alternativo [inicio fin]
    openssl req -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.csr" -subj "/CN=$1" \
        -addext "subjectAltName=$2" 2>/dev/null
    openssl ca -batch -config ca.cnf -cert ca.pem -keyfile ca.key -in "$1.csr" -out "$1.pem" \
        -startdate "${3:-20240101000000Z}" -enddate "${4:-20991231000000Z}" >/dev/null 2>&1 ||
        falla "no se pudo firmar $1"
}
firmar servidor "DNS:localhost,IP:127.0.0.1"
firmar otro "DNS:otro.example"
firmar vencido "DNS:localhost,IP:127.0.0.1" 20200101000000Z 20200201000000Z
firmar sucursal "DNS:sucursal-123456789012345"

mkdir -p agente
echo 123456789012345 >agente/Acceso

# Starts kestrel-servicio with the given options on a free port; sets puerto.
servicio() {
    arrancar_servicio "$@" || falla "kestrel-servicio no arrancó: $(cat "$1")"
    pids+=("$pid")
}
# Runs the agent against 127.0.0.1:$puerto for up to $1 seconds or until $2 shows in file $3. By address, which
# the server certificate names too: a fresh root may have no /etc/hosts to resolve "localhost". The limits are
# only for a failure: each run ends when its line shows. They leave room for a loaded machine, where an agent
# takes seconds to start (the line after the 10 s handshake limit shows about 12 s after a prompt start).
agente() {
    local limite=$1 patron=$2 archivo=$3
    shift 3
    XDG_RUNTIME_DIR=$tmp QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=$tmp/sin XDG_CONFIG_DIRS=$tmp/sin \
        "$agente" --carpeta "$tmp/agente" --servidor "127.0.0.1:$puerto" --impresoras-virtuales Facturas,Cocina,Bar \
        --salida "$tmp/pdf" "$@" >"$tmp/agente.log" 2>&1 &
    local pid=$!
    for _ in $(seq $(((limite + arranque) * 10))); do
        grep -q -- "$patron" "$archivo" 2>/dev/null && break
        sleep 0.1
    done
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
}
rechazado() { # descripcion texto-esperado log-del-servicio
    grep -q identificacion "$3" && falla "$1: el agente se identificó sin deber: $(cat "$3")"
    grep -qF -- "$2" agente.log || falla "$1: el registro no dice \"$2\": $(cat agente.log)"
}

# --- a good link carries the identification and a kitchen order ---------------------------------------
if [ -z "${KESTREL_TLS_SIN_CA:-}" ]; then
    servicio s1.log --tls --certificado servidor.pem --clave servidor.key --enviar "$muestras/comanda.json" \
        --salir-tras-respuestas 1
    agente 30 '"status"' s1.log --tls --ca ca.pem
    grep -q 'identificacion.*123456789012345' s1.log || falla "TLS: sin identificación: $(cat s1.log agente.log)"
    grep -q '"status":"0"' s1.log || falla "TLS: sin respuesta de estado tras la comanda: $(cat s1.log)"
    ls pdf/Cocina-*.pdf >/dev/null 2>&1 || falla "TLS: la comanda no se imprimió: $(ls pdf 2>&1)"
fi

# --- refusals -----------------------------------------------------------------------------------------
servicio s2.log --tls --certificado servidor.pem --clave servidor.key
agente 20 'emisor desconocido' agente.log --tls
rechazado "autoridad desconocida" "no es de confianza (emisor desconocido)" s2.log

servicio s3.log --tls --certificado otro.pem --clave otro.key
agente 20 'no es para' agente.log --tls --ca ca.pem
rechazado "otro nombre" "El certificado del servidor no es para 127.0.0.1" s3.log

servicio s4.log --tls --certificado vencido.pem --clave vencido.key
agente 20 'vencido' agente.log --tls --ca ca.pem
rechazado "vencido" "El certificado del servidor está vencido" s4.log

servicio s5.log
agente 40 'en 10 s' agente.log --tls --ca ca.pem
rechazado "servicio sin TLS" "no completó la conexión segura (TLS) en 10 s" s5.log

# --- a service that requires the branch's certificate --------------------------------------------------
servicio s6.log --tls --certificado servidor.pem --clave servidor.key --ca ca.pem --exigir-cliente
agente 20 'no aceptó' agente.log --tls --ca ca.pem
rechazado "sin certificado de sucursal" "El servidor no aceptó la conexión segura (TLS)" s6.log
if [ -z "${KESTREL_TLS_SIN_CA:-}" ]; then
    agente 20 'identificacion' s6.log --tls --ca ca.pem --certificado sucursal.pem --clave sucursal.key
    grep -q 'identificacion.*123456789012345' s6.log || falla "certificado de sucursal: sin identificación: $(cat s6.log)"
fi

# --- a key that cannot be read stops the agent at start, naming the file -------------------------------
salida=$(env -u DISPLAY "$agente" --tls --certificado sucursal.pem --clave "$tmp/no-esta.key" 2>&1)
codigo=$?
[ "$codigo" = 2 ] && grep -qF "$tmp/no-esta.key" <<<"$salida" || falla "clave ausente: salida $codigo: $salida"

[ "$fallos" = 0 ] && echo "todo bien" && exit 0
exit 1
