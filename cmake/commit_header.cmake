# cmake -DSOURCE=... -DOUT=... -P commit_header.cmake: writes OUT with the
# commit the checkout is at ("-modified" when tracked files differ from
# it), and leaves OUT alone when that is what it holds already.
execute_process(COMMAND git -C "${SOURCE}" rev-parse HEAD
                OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR commit STREQUAL "")
  set(commit "unknown")
else()
  execute_process(COMMAND git -C "${SOURCE}" status --porcelain --untracked-files=no
                  OUTPUT_VARIABLE changes ERROR_QUIET)
  if(NOT changes STREQUAL "")
    set(commit "${commit}-modified")
  endif()
endif()
set(text "#define KMWB_COMMIT \"${commit}\"\n")
set(old "")
if(EXISTS "${OUT}")
  file(READ "${OUT}" old)
endif()
if(NOT old STREQUAL text)
  file(WRITE "${OUT}" "${text}")
endif()
