# Builds every case of slot_contract_cases.cpp with the cross compiler:
# case 0 must compile, every other case must not.
#   cmake -DCXX=<compiler> -DROOT=<tree> -DCASES=<count>
#         -DPROTOCOL_ROOT=<include root> -DKERNEL_ROOT=<include root> -P slot_contract.cmake
# The include roots are the build's own for protocol and the stand-in kernel.
set(source "${ROOT}/tests/protocol/contract/slot_contract_cases.cpp")
set(failed "")
foreach(case RANGE 0 ${CASES})
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
