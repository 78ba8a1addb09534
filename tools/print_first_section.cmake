# Prints the first section of a text file that kv5save wrote, up to the
# blank line that closes it: cmake -DTEXT=<file> -P print_first_section.cmake
file(STRINGS "${TEXT}" lines)
foreach(line IN LISTS lines)
  string(REPLACE "\r" "" line "${line}")
  if(line STREQUAL "")
    break()
  endif()
  message("${line}")
endforeach()
