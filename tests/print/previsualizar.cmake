# The preview prints a message's documents on standard output and nothing else; log lines and balloons go to
# standard error. Run on a golden case, its standard output must be the golden's documents, with or without
# the end marker after the message.
#   -DAGENTE=path/to/kestrel-agente -DCASO=tests/data/receipts/<caso> -DTEMPORAL=dir
if(DEFINED ENV{KESTREL_REESCRIBIR_DORADOS})
    message(STATUS "los dorados los reescribe test_factura, por el mismo camino que esta vista previa")
    return()
endif()
file(READ ${CASO}.txt golden)
string(REGEX REPLACE "~ [^\n]*\n" "" esperado "${golden}")

file(READ ${CASO}.json mensaje)
file(WRITE ${TEMPORAL}/con_marca.json "${mensaje}_endMessage_\n")

foreach(archivo ${CASO}.json ${TEMPORAL}/con_marca.json)
    execute_process(COMMAND ${AGENTE} --previsualizar ${archivo} --anotado
                    OUTPUT_VARIABLE salida ERROR_VARIABLE errores RESULT_VARIABLE r)
    if(NOT r EQUAL 0)
        message(FATAL_ERROR "${archivo}: salida ${r}\n${errores}")
    endif()
    if(NOT salida STREQUAL esperado)
        message(FATAL_ERROR "${archivo}: la salida no es la del golden:\n${salida}\n--- esperado:\n${esperado}")
    endif()
    if(NOT errores MATCHES "\"Impresion de comanda\": Comanda enviada a Cocina")
        message(FATAL_ERROR "${archivo}: falta el globo en la salida de errores:\n${errores}")
    endif()
endforeach()

execute_process(COMMAND ${AGENTE} --previsualizar ${CASO}.json --impresoras Cocina --averiadas Cocina
                OUTPUT_VARIABLE salida ERROR_VARIABLE errores RESULT_VARIABLE r)
if(NOT salida STREQUAL "" OR NOT errores MATCHES "Error al imprimir")
    message(FATAL_ERROR "una sola impresora averiada debe dar el globo de error y ningun documento:\n${salida}\n${errores}")
endif()

execute_process(COMMAND ${AGENTE} --previsualizar RESULT_VARIABLE r OUTPUT_QUIET ERROR_QUIET)
if(NOT r EQUAL 2)
    message(FATAL_ERROR "sin mensaje el uso debe fallar con 2, no ${r}")
endif()
