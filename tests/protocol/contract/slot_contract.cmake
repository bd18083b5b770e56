# Builds every case of slot_contract_cases.cpp with the cross compiler:
# case 0 must compile, every other case must not. The cases are the file's
# "#if CASE == N" and "#elif CASE == N" lines. A case marked
# "[two conventions]" exists only where __stdcall and __cdecl differ (32-bit
# x86); on a 64-bit target it is left out, and the output says so.
#   cmake -DCXX=<compiler> -DROOT=<tree> -DPOINTER_BITS=<32|64>
#         -DPROTOCOL_ROOT=<include root> -DKERNEL_ROOT=<include root> -P slot_contract.cmake
# The include roots are the build's own for protocol and the stand-in kernel.
cmake_minimum_required(VERSION 3.20)
set(source "${ROOT}/tests/protocol/contract/slot_contract_cases.cpp")
file(STRINGS "${source}" case_lines REGEX "^#(el)?if CASE == [0-9]+")
set(cases "")
set(two_conventions "")
foreach(line ${case_lines})
  string(REGEX MATCH "CASE == ([0-9]+)" _ "${line}")
  set(number ${CMAKE_MATCH_1})
  list(APPEND cases ${number})
  if(line MATCHES "\\[two conventions\\]")
    list(APPEND two_conventions ${number})
  endif()
endforeach()
list(REMOVE_DUPLICATES cases)
list(LENGTH cases count)
if(NOT 0 IN_LIST cases OR count LESS 2)
  message(FATAL_ERROR "slot contract: ${source} holds no case 0 or no bad case")
endif()

set(failed "")
foreach(case ${cases})
  if(case IN_LIST two_conventions AND NOT POINTER_BITS EQUAL 32)
    message("case ${case}: not built on this ${POINTER_BITS}-bit target: x64 has one calling convention, so a stand-in of the other one cannot exist")
    continue()
  endif()
  execute_process(
    COMMAND "${CXX}" -std=c++17 -fsyntax-only -I "${PROTOCOL_ROOT}" -I "${KERNEL_ROOT}" -DCASE=${case} "${source}"
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(case EQUAL 0 AND NOT result EQUAL 0)
    message("case 0 (everything right) does not compile:\n${err}")
    list(APPEND failed 0)
  elseif(NOT case EQUAL 0 AND result EQUAL 0)
    message("case ${case} compiles, though its call or stand-in does not fit the contract")
    list(APPEND failed ${case})
  elseif(NOT case EQUAL 0)
    message("case ${case}: refused, as it must be")
  endif()
endforeach()
# "0" alone would read as false.
if(NOT failed STREQUAL "")
  message(FATAL_ERROR "slot contract: cases ${failed} went wrong")
endif()
