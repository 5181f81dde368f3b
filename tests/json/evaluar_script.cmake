# Runs `kestrel-agente --evaluar-script` as a user would: the produced text on standard output, the dialogs on
# standard error, the answers to the input boxes from standard input.
function(ejecutar caso entrada)
    execute_process(COMMAND ${AGENTE} --evaluar-script ${DATOS}/${caso}.script INPUT_FILE ${entrada}
                    OUTPUT_VARIABLE salida ERROR_VARIABLE errores RESULT_VARIABLE codigo)
    set(salida "${salida}" PARENT_SCOPE)
    set(errores "${errores}" PARENT_SCOPE)
    set(codigo "${codigo}" PARENT_SCOPE)
endfunction()

macro(fallar mensaje)
    message(FATAL_ERROR "${mensaje}\nsalida: ${salida}\nerrores: ${errores}\ncodigo: ${codigo}")
endmacro()

ejecutar(dialogos ${DATOS}/dialogos.respuestas)
string(FIND "${errores}" "[aviso] Aviso: Mesa asignada a Luz" aviso)
string(FIND "${errores}" "[entrada] Mesa 4: ¿Cuántos? [2]" pregunta)
if(NOT salida STREQUAL "Comensales: 3, nota: \n" OR aviso EQUAL -1 OR pregunta EQUAL -1 OR NOT codigo EQUAL 0)
    fallar("dialogos: resultado inesperado")
endif()

# The end of the input cancels every input box.
ejecutar(switch_efectos_del_default /dev/null)
if(NOT salida STREQUAL "caso A\n" OR NOT codigo EQUAL 0)
    fallar("switch sin respuestas: resultado inesperado")
endif()

ejecutar(fallos_al_llamador /dev/null)
string(FIND "${errores}" "Error 424: Se requiere un objeto" fallo)
if(NOT salida STREQUAL "" OR fallo EQUAL -1 OR NOT codigo EQUAL 1)
    fallar("un fallo debe informarse y dar el codigo 1")
endif()

ejecutar(error_de_analisis /dev/null)
string(FIND "${errores}" "[alerta] Parser Error: Invalid JSON" analisis)
if(analisis EQUAL -1 OR NOT codigo EQUAL 1)
    fallar("un script que no se lee debe dar el codigo 1")
endif()
