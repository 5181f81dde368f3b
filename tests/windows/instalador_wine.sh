#!/bin/bash
# The installer as a chain's IT runs it on many PCs, in a fresh Wine prefix: a silent install puts the program
# under Program Files, the installed copy answers --version, the agent is started at every user's logon, the
# Start menu has its entry and the installed apps list it with a quiet uninstall; a silent uninstall leaves no
# program files and no logon entry behind. /SERVIDOR= writes the machine's settings file.
#   instalador_wine.sh SETUP.exe VERSION PREFIJO
set -uo pipefail
setup=$(realpath "$1") version=$2 prefijo=$3
# shellcheck source=../comun.sh
. "$(dirname "$(realpath "$0")")/../comun.sh"
rm -rf "$prefijo"
export WINEPREFIX=$prefijo WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine wineboot -i >/dev/null 2>&1
wineserver -w
programa="$prefijo/drive_c/Program Files/Kestrel"
inicio='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
desinstalar='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrel'
consulta() { wine reg query "$@" 2>/dev/null | tr -d '\r'; }

wine "$setup" /S /SERVIDOR=10.0.0.5:3000 >/dev/null 2>&1
wineserver -w
[ -f "$programa/kestrel-agente.exe" ] || falla "no se instaló en Program Files: $(ls "$prefijo/drive_c/Program Files")"
for f in Qt6Core.dll platforms/qwindows.dll sqldrivers/qsqlite.dll tls/qschannelbackend.dll libstdc++-6.dll \
    desinstalar.exe; do
    [ -f "$programa/$f" ] || falla "falta $f en la instalación"
done
salida=$(wine "C:\\Program Files\\Kestrel\\kestrel-agente.exe" --version 2>/dev/null)
[ "$salida" = "kestrel-agente $version" ] || falla "--version de la copia instalada: $salida"
consulta "$inicio" /v Kestrel | grep -qF 'C:\Program Files\Kestrel\kestrel-agente.exe' ||
    falla "sin arranque al iniciar sesión: $(consulta "$inicio")"
consulta "$desinstalar" /v QuietUninstallString | grep -qF 'desinstalar.exe" /S' ||
    falla "no aparece en las aplicaciones instaladas: $(consulta "$desinstalar")"
ls "$prefijo/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Kestrel/Kestrel.lnk" >/dev/null 2>&1 ||
    falla "sin entrada en el menú Inicio"
conf="$prefijo/drive_c/ProgramData/kestrel/kestrel-agente.conf"
tr -d '\r' <"$conf" 2>/dev/null | grep -qx 'servidor=10.0.0.5:3000' || falla "/SERVIDOR no escribió $conf"

wine "C:\\Program Files\\Kestrel\\desinstalar.exe" /S >/dev/null 2>&1
wineserver -w
# The uninstaller copies itself to a temporary folder and finishes from there, a moment later.
for _ in $(seq 100); do
    [ -e "$programa" ] || break
    sleep 0.2
done
wineserver -w
[ -e "$programa" ] && falla "quedaron archivos del programa: $(find "$programa" | head)"
consulta "$inicio" /v Kestrel | grep -q kestrel-agente && falla "quedó el arranque al iniciar sesión"
consulta "$desinstalar" | grep -q DisplayName && falla "sigue en las aplicaciones instaladas"
[ -f "$conf" ] || falla "la desinstalación borró la configuración del equipo"

[ "$fallos" = 0 ] && echo "todo bien" && exit 0
exit 1
