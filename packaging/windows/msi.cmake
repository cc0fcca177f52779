# Makes the installer from the download's folder.
#   cmake -DWXS=FILE -DFOLDER=DIR -DMSI=FILE -DTIME="YYYY-MM-DD hh:mm:ss"
#         -DPACKAGE_CODE=UUID -DSUBJECT=TEXT -DAUTHOR=TEXT -DINSTALLED_README=FILE -P msi.cmake
# Runs where the .wxs file's relative paths start (wixl takes no absolute ones).
#
# wixl stamps the time it runs as the package's creation and last-saved
# times, and draws the package code at random: its clock is stopped at TIME,
# and the code set afterwards with msibuild. The installed size, which the
# list of installed apps shows, is the folder's, in KiB.
file(GLOB_RECURSE files "${FOLDER}/*")
set(bytes 0)
foreach(file IN LISTS files)
  file(SIZE "${file}" size)
  math(EXPR bytes "${bytes} + ${size}")
endforeach()
math(EXPR kib "(${bytes} + 1023) / 1024")

# The installed read-me, made apart from the folder, dated as its files are.
execute_process(COMMAND touch -r "${FOLDER}/README.txt" "${INSTALLED_README}" COMMAND_ERROR_IS_FATAL ANY)

file(REMOVE "${MSI}.new")
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC faketime -f "${TIME}"
                        wixl --arch x64 --define InstalledKiB=${kib} --output "${MSI}.new" "${WXS}"
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND msibuild "${MSI}.new" -s "${SUBJECT}" "${AUTHOR}" "x64;1033" "{${PACKAGE_CODE}}"
                COMMAND_ERROR_IS_FATAL ANY)
file(RENAME "${MSI}.new" "${MSI}")
