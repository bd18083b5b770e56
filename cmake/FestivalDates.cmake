# Turns the calendar data file ("YYYYMMDD=name" a line, UTF-8) into the rows
# of a C++ table: cmake -DIN=<festivals.txt> -DOUT=<festival_dates.inc> -P this
# Only the years from 2015 on are taken: the earlier ones are written out in
# the code with their combined names.
file(STRINGS "${IN}" lines ENCODING UTF-8)
set(rows "")
foreach(line IN LISTS lines)
  if(line MATCHES "^([0-9][0-9][0-9][0-9])([0-9][0-9][0-9][0-9])=(.+)$")
    if(CMAKE_MATCH_1 GREATER_EQUAL 2015)
      string(APPEND rows "    {L\"${CMAKE_MATCH_1}${CMAKE_MATCH_2}\", L\"${CMAKE_MATCH_3}\"},\n")
    endif()
  elseif(NOT line STREQUAL "")
    message(FATAL_ERROR "festival data: unexpected line '${line}'")
  endif()
endforeach()
file(WRITE "${OUT}.tmp" "${rows}")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
