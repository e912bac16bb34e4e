# Fails when a source or test file speaks of where a rule came from instead of what it is: code and
# comments are written as this system's own, never naming an earlier implementation, the tools it
# was written with, or the requirements as "documented" behaviour.
# Run as: cmake -DROOT=<source dir> -P check_words.cmake
if(NOT ROOT)
  message(FATAL_ERROR "ROOT is not set")
endif()
set(forbidden
    "[Dd]elphi"
    "[^A-Za-z]VCL[^A-Za-z]"
    "[Dd]ocumented"
    "[Ss]pecification"
    "[Tt]he original (library|program|implementation|code|product)"
    "[Ww]indows API does")
file(GLOB_RECURSE files ${ROOT}/src/*.h ${ROOT}/src/*.cpp ${ROOT}/tests/*.h ${ROOT}/tests/*.cpp
     ${ROOT}/bench/*.cpp ${ROOT}/fuzz/*.cpp)
set(found "")
foreach(f ${files})
  foreach(pattern ${forbidden})
    file(STRINGS ${f} lines REGEX "${pattern}")
    foreach(line ${lines})
      file(RELATIVE_PATH rel ${ROOT} ${f})
      string(STRIP "${line}" line)
      string(APPEND found "  ${rel}: ${line}\n")
    endforeach()
  endforeach()
endforeach()
if(found)
  message(FATAL_ERROR "Words that point away from this system:\n${found}")
endif()
