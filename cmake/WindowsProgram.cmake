# What makes a Windows program of the project: a GUI program (no console
# window), one file that needs no DLL beyond Windows' own (the C and C++
# runtimes and threads linked in, as Qt is), stripped in optimised builds,
# and the manifest that tells Windows what the program expects of it. Its
# sections start on page boundaries in the file too, as in memory, so that
# a loader can map them from the file and read a page only when it is used
# (Wine's copies a file's sections into memory otherwise, the pictures'
# pixels with them).
set(VORARID_WINDOWS_MANIFEST ${PROJECT_BINARY_DIR}/packaging/windows/vorarid.manifest)
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/vorarid.manifest.in ${VORARID_WINDOWS_MANIFEST} @ONLY)

# vorarid_windows_program(TARGET [RESOURCES FILE.rc]): the program's own
# resources, which must take in the manifest, or else the manifest alone.
function(vorarid_windows_program target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "RESOURCES" "")
  set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
  target_link_options(${target} PRIVATE -static -Wl,--file-alignment=4096 $<$<CONFIG:Release,MinSizeRel>:-s>)
  if(arg_RESOURCES)
    target_sources(${target} PRIVATE ${arg_RESOURCES})
  else()
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_manifest.rc)
    file(WRITE ${rc} "1 24 \"${VORARID_WINDOWS_MANIFEST}\"\n")
    target_sources(${target} PRIVATE ${rc})
  endif()
  set_property(SOURCE ${arg_RESOURCES} ${rc} APPEND PROPERTY OBJECT_DEPENDS ${VORARID_WINDOWS_MANIFEST})
endfunction()
