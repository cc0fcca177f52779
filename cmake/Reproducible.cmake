# Two builds of one commit give the same bytes, wherever and whenever they
# run. Whatever would record "now" (Qt's rcc the files' times in the
# resources, GCC __DATE__, CPack every archive member's time) reads
# SOURCE_DATE_EPOCH instead: the caller's if set, as Debian's builders set
# it, else the time of the last commit, else the date of the newest
# changelog entry, which is what a source tarball keeps.
#
# A build tree keeps the time it was first configured with, unless a caller
# gives another: a reconfigure after a commit reruns no generator whose
# inputs are unchanged, so a newer time would leave the tree's files with
# two different ones. A clean tree gets the newest commit's.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
elseif(DEFINED CACHE{VORARID_SOURCE_DATE_EPOCH})
  set(epoch "${VORARID_SOURCE_DATE_EPOCH}")
else()
  # Only the project's own repository counts, not one it was unpacked into.
  find_package(Git QUIET)
  if(GIT_EXECUTABLE)
    execute_process(COMMAND ${GIT_EXECUTABLE} -C ${PROJECT_SOURCE_DIR} rev-parse --show-toplevel
                    OUTPUT_VARIABLE top OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    file(REAL_PATH "${PROJECT_SOURCE_DIR}" source_dir)
    if(top AND EXISTS "${top}")
      file(REAL_PATH "${top}" top)
    endif()
    if(top STREQUAL source_dir)
      execute_process(COMMAND ${GIT_EXECUTABLE} -C ${PROJECT_SOURCE_DIR} log -1 --format=%ct
                      OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    endif()
  endif()
  if(NOT epoch)
    file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog trailer REGEX "^ -- " LIMIT_COUNT 1)
    string(REGEX REPLACE "^ -- [^>]*>  " "" changelog_date "${trailer}")
    execute_process(COMMAND date -u -d "${changelog_date}" +%s
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
endif()
if(NOT epoch MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH is '${epoch}', not a number of seconds")
endif()
set(VORARID_SOURCE_DATE_EPOCH ${epoch} CACHE INTERNAL "The time that stands for now in the build")
message(STATUS "SOURCE_DATE_EPOCH: ${epoch}")
unset(epoch)

# Every step of the build sees it, generated sources included: the
# compiler, the linker and each custom command.
set(epoch_env ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${VORARID_SOURCE_DATE_EPOCH})
list(JOIN epoch_env " " epoch_env)
foreach(rule COMPILE LINK CUSTOM)
  set_property(GLOBAL PROPERTY RULE_LAUNCH_${rule} "${epoch_env}")
endforeach()
unset(epoch_env)

# CPack runs later, maybe from another shell: it reads the same time
# unless its caller gives one.
configure_file(${CMAKE_CURRENT_LIST_DIR}/CPackProjectConfig.cmake.in
               ${PROJECT_BINARY_DIR}/CPackProjectConfig.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/CPackProjectConfig.cmake)

# A Windows program's header has a field for the time it was linked.
if(WIN32)
  add_link_options(-Wl,--no-insert-timestamp)
endif()

# No absolute path of the source or build tree goes into the program: not
# in __FILE__ (Q_ASSERT, qWarning's context), not in the debug information
# that the build ID is computed over. The build tree's mapping comes last,
# so it wins for a build tree inside the source tree. The sanitizer build
# keeps real paths for its reports.
if(NOT VORARID_SANITIZE)
  add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.
                      -ffile-prefix-map=${PROJECT_BINARY_DIR}=build)
  # Nor that of a Qt unpacked into the build tree (the Windows build's).
  if(QT6_INSTALL_PREFIX AND NOT QT6_INSTALL_PREFIX MATCHES "^/usr/?$")
    add_compile_options(-ffile-prefix-map=${QT6_INSTALL_PREFIX}=qt)
  endif()
endif()
