# Writes a text file of a download: IN as it is or, with LICENSE, the full
# text of that licence from IN, a Debian copyright file (its stand-alone
# paragraph, "License: NAME" at the start of a paragraph, without the
# paragraph's indentation); with CRLF, its lines ended CR LF, as every
# Windows program expects them.
#   cmake -DIN=FILE -DOUT=FILE [-DLICENSE=NAME] [-DCRLF=ON] -P TextFile.cmake
file(READ "${IN}" text)
if(DEFINED LICENSE)
  string(REGEX MATCH "\n\nLicense: ${LICENSE}\n(( [^\n]*\n)+)" paragraph "${text}")
  if(NOT paragraph)
    message(FATAL_ERROR "${IN} has no paragraph for the licence ${LICENSE}")
  endif()
  set(text "${CMAKE_MATCH_1}")
  string(REGEX REPLACE "(^|\n) \\.(\n)" "\\1\\2" text "${text}")
  string(REGEX REPLACE "(^|\n) \\.(\n)" "\\1\\2" text "${text}")  # neighbouring blank lines
  string(REGEX REPLACE "(^|\n) " "\\1" text "${text}")
endif()
if(CRLF)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
endif()
file(WRITE "${OUT}" "${text}")
