# Every symbol a tier's object files export must be one of that tier's kernels: anything else
# (an inline function, a template shared with other units) could be merged by the linker with a
# copy compiled for another instruction set.
#   cmake -DNM=<nm> -DTIER=Avx|Avx2 "-DOBJECTS=a.o|b.o" -P check_tier_symbols.cmake
string(REPLACE "|" ";" objects "${OBJECTS}")
set(kernel "^void NOrvex::(Exp|Log|Sigmoid|Tanh)${TIER}<(true|false), (true|false)>\\((float|double) const\\*, unsigned long, (float|double)\\*\\)$")
set(count 0)
foreach(object ${objects})
  execute_process(COMMAND ${NM} --defined-only --extern-only -C --format=posix ${object}
                  OUTPUT_VARIABLE listing RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "nm failed on ${object}")
  endif()
  string(REPLACE "\n" ";" lines "${listing}")
  foreach(line ${lines})
    if(line STREQUAL "")
      continue()
    endif()
    # posix format: "<name> <type> <value> <size>"; the name contains spaces after demangling.
    string(REGEX REPLACE " [A-Za-z] [0-9a-f]+( [0-9a-f]+)?$" "" name "${line}")
    if(NOT name MATCHES "${kernel}")
      message(FATAL_ERROR "${object} exports a symbol that is not a ${TIER} kernel: ${name}")
    endif()
    math(EXPR count "${count} + 1")
  endforeach()
endforeach()
if(NOT count EQUAL 32)
  message(FATAL_ERROR "expected the 32 ${TIER} kernels, found ${count} symbols")
endif()
message(STATUS "${count} ${TIER} kernels, nothing else exported")
