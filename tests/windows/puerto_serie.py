#!/usr/bin/python3
"""A serial port for the Windows agent under Wine: a pseudo-terminal, linked where Wine looks for a COM port,
carried to the ESC/POS printer emulator's TCP port. Each burst of bytes after a second of quiet is one
connection, so the emulator keeps each job apart and its status answers come back through the port.
    puerto_serie.py ENLACE PUERTO_TCP"""
import os
import pty
import select
import socket
import sys
import time
import tty

enlace, puerto = sys.argv[1], int(sys.argv[2])
maestro, esclavo = pty.openpty()
tty.setraw(esclavo)  # the slave stays open here, so the port outlives each time the agent closes it
if os.path.lexists(enlace):
    os.unlink(enlace)
os.symlink(os.ttyname(esclavo), enlace)
print("listo", flush=True)
conexion, ultimo = None, time.time()
while True:
    leibles, _, _ = select.select([maestro] + ([conexion] if conexion else []), [], [], 0.5)
    if maestro in leibles:
        datos = os.read(maestro, 65536)
        ultimo = time.time()
        if conexion is None:
            conexion = socket.create_connection(("127.0.0.1", puerto))
        conexion.sendall(datos)
    if conexion and conexion in leibles:
        datos = conexion.recv(65536)
        if datos:
            os.write(maestro, datos)
        else:
            conexion.close()
            conexion = None
    elif conexion and time.time() - ultimo > 1.5:
        conexion.close()  # the emulator writes the job out when its connection ends
        conexion = None
