# Writes the page TEMPLATE as OUTPUT with every script and style sheet it
# loads written into it: <script src="kv5core.js"> takes the core's script
# CORE, a name found in the directory BUILT the script built there (the
# bundled engine.js and page.js), the other names are files beside the template.
#   cmake -DTEMPLATE=... -DCORE=... -DBUILT=... -DOUTPUT=... -P inline_page.cmake
get_filename_component(directory "${TEMPLATE}" DIRECTORY)
file(READ "${TEMPLATE}" page)

string(REGEX MATCHALL "<script[^>]* src=\"[^\"]+\"></script>|<link rel=\"stylesheet\" href=\"[^\"]+\">"
       tags "${page}")
foreach(tag IN LISTS tags)
  string(REGEX MATCH "(src|href)=\"([^\"]+)\"" reference "${tag}")
  set(name "${CMAKE_MATCH_2}")
  if(name STREQUAL "kv5core.js")
    file(READ "${CORE}" content)
  elseif(BUILT AND EXISTS "${BUILT}/${name}")
    file(READ "${BUILT}/${name}" content)
  else()
    file(READ "${directory}/${name}" content)
  endif()
  # The browser would end the element at the first closing tag inside it.
  string(TOLOWER "${content}" lower)
  if(lower MATCHES "</(script|style)")
    message(FATAL_ERROR "${name} holds a closing tag and cannot be written into the page")
  endif()
  if(tag MATCHES "^<link")
    set(inline "<style>\n${content}</style>")
  else()
    string(REPLACE " src=\"${name}\"" "" opening "${tag}")
    string(REPLACE "</script>" "" opening "${opening}")
    set(inline "${opening}\n${content}</script>")
  endif()
  string(REPLACE "${tag}" "${inline}" page "${page}")
endforeach()
file(WRITE "${OUTPUT}" "${page}")
