# Builds every case of slot_contract_cases.cpp with the cross compiler:
# case 0 must compile, every other case must not, and must fail with the
# error its line names. The cases are the file's "#if CASE == N" and
# "#elif CASE == N" lines; a bad case's line ends with a fragment of the
# compiler's error text in double quotes, so that a case refused for
# another reason (a typo, a missing name) does not pass for a refusal of
# the contract. A case marked "[two conventions]" exists only where
# __stdcall and __cdecl differ (32-bit x86); on a 64-bit target it is left
# out, and the output says so.
#   cmake -DCXX=<compiler> -DROOT=<tree> -DPOINTER_BITS=<32|64>
#         -DPROTOCOL_ROOT=<include root> -DKERNEL_ROOT=<include root> -P slot_contract.cmake
# The include roots are the build's own for protocol and the stand-in kernel.
cmake_minimum_required(VERSION 3.20)
set(source "${ROOT}/tests/protocol/contract/slot_contract_cases.cpp")
file(STRINGS "${source}" case_lines REGEX "^#(el)?if CASE == [0-9]+")
set(cases "")
set(two_conventions "")
set(failed "")
foreach(line ${case_lines})
  string(REGEX MATCH "CASE == ([0-9]+)" _ "${line}")
  set(number ${CMAKE_MATCH_1})
  list(APPEND cases ${number})
  if(line MATCHES "\\[two conventions\\]")
    list(APPEND two_conventions ${number})
  endif()
  if(line MATCHES "\"([^\"]+)\"[ \t]*$")
    set(expected_${number} "${CMAKE_MATCH_1}")
  elseif(NOT number EQUAL 0)
    message("case ${number} names no error it must give (a fragment in double quotes at the end of its line)")
    list(APPEND failed ${number})
  endif()
endforeach()
list(REMOVE_DUPLICATES cases)
list(LENGTH cases count)
if(NOT 0 IN_LIST cases OR count LESS 2)
  message(FATAL_ERROR "slot contract: ${source} holds no case 0 or no bad case")
endif()

foreach(case ${cases})
  if(case IN_LIST failed)
    continue()
  endif()
  if(case IN_LIST two_conventions AND NOT POINTER_BITS EQUAL 32)
    message("case ${case}: not built on this ${POINTER_BITS}-bit target: x64 has one calling convention, so a stand-in of the other one cannot exist")
    continue()
  endif()
  execute_process(
    COMMAND "${CXX}" -std=c++17 -fsyntax-only -I "${PROTOCOL_ROOT}" -I "${KERNEL_ROOT}" -DCASE=${case} "${source}"
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(case EQUAL 0)
    if(NOT result EQUAL 0)
      message("case 0 (everything right) does not compile:\n${err}")
      list(APPEND failed 0)
    endif()
    continue()
  endif()
  string(FIND "${err}" "${expected_${case}}" at)
  if(result EQUAL 0)
    message("case ${case} compiles, though its call or stand-in does not fit the contract")
    list(APPEND failed ${case})
  elseif(at LESS 0)
    message("case ${case} is refused, but without \"${expected_${case}}\" in the errors:\n${err}")
    list(APPEND failed ${case})
  else()
    message("case ${case}: refused with \"${expected_${case}}\", as it must be")
  endif()
endforeach()
# "0" alone would read as false.
if(NOT failed STREQUAL "")
  message(FATAL_ERROR "slot contract: cases ${failed} went wrong")
endif()
