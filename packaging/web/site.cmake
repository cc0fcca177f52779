# Makes the site: a folder of static files that any static host serves,
# the program's files also precompressed as hosts serve them, and a zip of
# it all.
#   cmake -DFILES=LIST -DSITE=DIR -DZIP=FILE -DEPOCH=SECONDS -DWASM=FILE
#         -DVERSION=TEXT -DPROGRAM=NAME -P site.cmake
# LIST has one line per file: KIND|SOURCE|PATH IN THE SITE, where KIND is
# "copy", "page" (@PROGRAM@, @VERSION@ and @WASM_BYTES@, the size of WASM,
# filled in) or a licence name to take from a Debian copyright file (see
# cmake/TextFile.cmake).
#
# The same bytes from every build of one commit: gzip without a name or a
# time, every file dated SOURCE_DATE_EPOCH, zip entries in sorted order
# without owners or Unix times.
file(REMOVE_RECURSE "${SITE}")
file(SIZE "${WASM}" WASM_BYTES)
file(STRINGS "${FILES}" entries)
set(compressed)
foreach(entry IN LISTS entries)
  string(REPLACE "|" ";" entry "${entry}")
  list(GET entry 0 kind)
  list(GET entry 1 source)
  list(GET entry 2 path)
  set(target "${SITE}/${path}")
  get_filename_component(directory "${target}" DIRECTORY)
  file(MAKE_DIRECTORY "${directory}")
  if(kind STREQUAL "copy")
    file(COPY_FILE "${source}" "${target}")
  elseif(kind STREQUAL "page")
    configure_file("${source}" "${target}" @ONLY)
  else()
    execute_process(COMMAND ${CMAKE_COMMAND} -DIN=${source} -DOUT=${target} -DLICENSE=${kind}
                            -P ${CMAKE_CURRENT_LIST_DIR}/../../cmake/TextFile.cmake COMMAND_ERROR_IS_FATAL ANY)
  endif()
  if(path MATCHES "\\.(html|js|wasm|ttf|ico)$")
    execute_process(COMMAND brotli -q 11 -f -o "${target}.br" "${target}" COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND gzip -9 -n -k -f "${target}" COMMAND_ERROR_IS_FATAL ANY)
    list(APPEND compressed "${path}.br" "${path}.gz")
  endif()
endforeach()

file(GLOB_RECURSE paths RELATIVE "${SITE}" "${SITE}/*")
list(SORT paths)
file(GLOB_RECURSE everything LIST_DIRECTORIES true "${SITE}/*")
execute_process(COMMAND touch -h -d @${EPOCH} ${everything} "${SITE}" COMMAND_ERROR_IS_FATAL ANY)
if(ZIP)
  file(REMOVE "${ZIP}")
  execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC zip -q -X -D -9 "${ZIP}" ${paths}
                  WORKING_DIRECTORY "${SITE}" COMMAND_ERROR_IS_FATAL ANY)
endif()
