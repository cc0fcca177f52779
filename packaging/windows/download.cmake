# Makes the folder a Windows player gets and the zip of it.
#   cmake -DFILES=LIST -DSTAGE=DIR -DZIP=FILE -DEPOCH=SECONDS -P download.cmake
# LIST has one line per file: KIND|SOURCE|PATH IN THE FOLDER, where KIND is
# "copy", "text" (lines ended CR LF) or a licence name to take from a
# Debian copyright file (see cmake/TextFile.cmake), both ended CR LF.
#
# The zip is the same bytes from every build of one commit: every file
# dated SOURCE_DATE_EPOCH (zip keeps local time: UTC here), entries in
# sorted order, and no extra fields (owners, Unix times) (zip -X).
set(TEXT_FILE ${CMAKE_CURRENT_LIST_DIR}/../../cmake/TextFile.cmake)
file(REMOVE_RECURSE "${STAGE}")
file(STRINGS "${FILES}" entries)
set(paths)
foreach(entry IN LISTS entries)
  string(REPLACE "|" ";" entry "${entry}")
  list(GET entry 0 kind)
  list(GET entry 1 source)
  list(GET entry 2 path)
  get_filename_component(directory "${STAGE}/${path}" DIRECTORY)
  file(MAKE_DIRECTORY "${directory}")
  if(kind STREQUAL "copy")
    file(COPY_FILE "${source}" "${STAGE}/${path}")
  elseif(kind STREQUAL "text")
    execute_process(COMMAND ${CMAKE_COMMAND} -DIN=${source} -DOUT=${STAGE}/${path} -DCRLF=ON
                            -P ${TEXT_FILE} COMMAND_ERROR_IS_FATAL ANY)
  else()
    execute_process(COMMAND ${CMAKE_COMMAND} -DIN=${source} -DOUT=${STAGE}/${path} -DLICENSE=${kind} -DCRLF=ON
                            -P ${TEXT_FILE} COMMAND_ERROR_IS_FATAL ANY)
  endif()
  list(APPEND paths "${path}")
endforeach()
list(SORT paths)

file(GLOB_RECURSE everything LIST_DIRECTORIES true "${STAGE}/*")
execute_process(COMMAND touch -h -d @${EPOCH} ${everything} "${STAGE}" COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE "${ZIP}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC zip -q -X -D -9 "${ZIP}" ${paths}
                WORKING_DIRECTORY "${STAGE}" COMMAND_ERROR_IS_FATAL ANY)
