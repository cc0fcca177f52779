# Optimised builds get the hardening a Debian package gets. The flags come
# from dpkg-buildflags on the build machine, so they follow the distribution
# and its compiler (a toolchain that already defines _FORTIFY_SOURCE, say)
# instead of a copy that drifts. The sanitizer build keeps its own flags:
# _FORTIFY_SOURCE needs optimisation, and ASan does that checking better.
option(VORARID_HARDENING "Harden optimised builds as Debian hardens its packages" ON)

# Windows programs get what Windows checks in a program's header: address
# space layout randomisation, with the full 64-bit range, and data that is
# never run as code; and the stack protector.
# WebAssembly has none of these: its code is not in its memory, and the
# browser's sandbox checks every access; there is nothing to add.
if(EMSCRIPTEN)
  message(STATUS "Hardening: none to add (WebAssembly in the browser's sandbox)")
elseif(VORARID_HARDENING AND WIN32)
  add_compile_options(-fstack-protector-strong)
  add_link_options(-fstack-protector-strong -Wl,--dynamicbase -Wl,--high-entropy-va -Wl,--nxcompat)
  message(STATUS "Hardening: ASLR (high entropy), NX, stack protector")
elseif(VORARID_HARDENING AND NOT VORARID_SANITIZE)
  # Position-independent executables, so ASLR moves the program too.
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  include(CheckPIESupported)
  check_pie_supported(LANGUAGES CXX)
  find_program(VORARID_DPKG_BUILDFLAGS dpkg-buildflags
               DOC "dpkg-buildflags, which tells the hardening flags (Debian: dpkg-dev)")
  set(optimised $<CONFIG:Release,RelWithDebInfo,MinSizeRel>)

  if(VORARID_DPKG_BUILDFLAGS)
    # What hardening=+all adds to what hardening=-all leaves: exactly the
    # hardening flags, without dpkg's -g -O2 or anything a user set in the
    # environment, which both answers share.
    foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
      foreach(setting on off)
        if(setting STREQUAL on)
          set(features hardening=+all)
        else()
          set(features hardening=-all)
        endif()
        execute_process(
          COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=${features}
                  ${VORARID_DPKG_BUILDFLAGS} --get ${kind}
          OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
          RESULT_VARIABLE status)
        if(NOT status EQUAL 0)
          message(FATAL_ERROR "${VORARID_DPKG_BUILDFLAGS} --get ${kind} failed")
        endif()
        separate_arguments(flags_${setting} UNIX_COMMAND "${flags}")
      endforeach()
      set(hardening_${kind} ${flags_on})
      if(flags_off)
        list(REMOVE_ITEM hardening_${kind} ${flags_off})
      endif()
    endforeach()
    set(compile_flags ${hardening_CPPFLAGS} ${hardening_CXXFLAGS})
    set(link_flags ${hardening_LDFLAGS})
  else()
    message(WARNING "dpkg-buildflags not found (Debian: dpkg-dev): optimised builds get "
                    "no fortified functions, stack protector or immediate binding")
  endif()

  # What the next Debian release's dpkg adds by default, where the compiler
  # knows it (-fcf-protection is x86 only).
  include(CheckCXXCompilerFlag)
  foreach(flag -fstack-clash-protection -fcf-protection)
    string(MAKE_C_IDENTIFIER "VORARID_CXX_HAS${flag}" known)
    check_cxx_compiler_flag(${flag} ${known})
    if(${known} AND NOT flag IN_LIST compile_flags)
      list(APPEND compile_flags ${flag})
    endif()
  endforeach()

  list(JOIN compile_flags " " shown)
  list(JOIN link_flags " " shown_link)
  message(STATUS "Hardening of optimised builds: ${shown}; linking: ${shown_link}")
  add_compile_options("$<${optimised}:${compile_flags}>")
  add_link_options("$<${optimised}:${link_flags}>")
  unset(optimised)
endif()
