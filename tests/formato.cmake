# Fails when a C++ file of the project is not laid out as .clang-format says.
find_program(CLANG_FORMAT NAMES clang-format clang-format-14 REQUIRED)
file(GLOB_RECURSE archivos ${RAIZ}/src/*.cpp ${RAIZ}/src/*.h ${RAIZ}/tools/*.cpp ${RAIZ}/tools/*.h
     ${RAIZ}/tests/*.cpp ${RAIZ}/tests/*.h)
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${archivos} RESULT_VARIABLE r ERROR_VARIABLE salida)
if(NOT r EQUAL 0)
    message(FATAL_ERROR "Archivos sin formato (ejecute scripts/formatear):\n${salida}")
endif()
