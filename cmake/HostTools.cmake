# A cross build runs some of the project's own programs on the build
# machine: the picture decoder, and for the tests the solver. They are built
# from this same source tree by a native build of its own, with the build
# machine's compiler and Qt, inside this build tree.
include(ExternalProject)

set(host_tools_dir ${CMAKE_BINARY_DIR}/host)
set(VORARID_HOST_DECODE_PICTURES ${host_tools_dir}/src/assets/vorarid_decode_pictures)
set(VORARID_HOST_SOLVE ${host_tools_dir}/tests/e2e/vorarid_solve)
set(host_targets vorarid_decode_pictures)
set(host_programs ${VORARID_HOST_DECODE_PICTURES})
if(BUILD_TESTING)
  list(APPEND host_targets vorarid_solve)
  list(APPEND host_programs ${VORARID_HOST_SOLVE})
endif()

ExternalProject_Add(vorarid_host_tools
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${host_tools_dir}
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=${BUILD_TESTING} -DVORARID_HARDENING=OFF
               -DVORARID_SOURCE_DATE_EPOCH=${VORARID_SOURCE_DATE_EPOCH}
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target ${host_targets}
    BUILD_ALWAYS ON  # its own build decides what is out of date
    BUILD_BYPRODUCTS ${host_programs}
    INSTALL_COMMAND "")
