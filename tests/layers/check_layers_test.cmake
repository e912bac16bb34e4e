cmake_minimum_required(VERSION 3.25)
# Runs the layer check on copies of a small tree (fixture/: layers low < mid < high, mid's folders
# . < inner < outer), each changed in one way, and expects it to pass or to name the fault.
# Run as: cmake -DCHECK=<check_layers.cmake> -DFIXTURE=<fixture dir> -DWORK=<scratch dir> -P check_layers_test.cmake
set(failures "")

# NAME: each FILE OLD NEW triple puts NEW in place of OLD in FILE (appends it when OLD is empty);
# the check must then fail with a message matching EXPECT, or pass when EXPECT is empty.
function(kv_case name expect)
  set(dir ${WORK}/${name})
  file(REMOVE_RECURSE ${dir})
  file(COPY ${FIXTURE}/ DESTINATION ${dir})
  set(changes "${ARGN}")
  while(changes)
    list(POP_FRONT changes file old new)
    set(text "")
    if(EXISTS ${dir}/${file})
      file(READ ${dir}/${file} text)
    endif()
    if(old STREQUAL "")
      string(APPEND text "${new}\n")
    else()
      string(FIND "${text}" "${old}" at)
      if(at EQUAL -1)
        set(failures "${failures}  ${name}: '${old}' is not in ${file}\n" PARENT_SCOPE)
        return()
      endif()
      string(REPLACE "${old}" "${new}" text "${text}")
    endif()
    file(WRITE ${dir}/${file} "${text}")
  endwhile()
  execute_process(COMMAND ${CMAKE_COMMAND} -DTABLE=${dir}/layers.cmake -DSRC=${dir}/src
                          -DLINKS=${dir}/links.cmake -P ${CHECK}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(expect STREQUAL "")
    if(NOT status EQUAL 0)
      set(failures "${failures}  ${name}: expected to pass, got:\n${out}\n" PARENT_SCOPE)
    endif()
  elseif(status EQUAL 0)
    set(failures "${failures}  ${name}: passed, expected a failure matching '${expect}'\n" PARENT_SCOPE)
  elseif(NOT out MATCHES "${expect}")
    set(failures "${failures}  ${name}: expected '${expect}', got:\n${out}\n" PARENT_SCOPE)
  endif()
endfunction()

kv_case(clean "")
kv_case(upward_include "low/low.h: upward include of high/high.h"
        src/low/low.h "" "#include \"high/high.h\"")
kv_case(upward_include_between_folders "mid/inner/inner.h: upward include of mid/outer/outer.h"
        src/mid/inner/inner.h "" "#include \"mid/outer/outer.h\"")
kv_case(top_folder_includes_a_folder "mid/mid.h: upward include of mid/inner/inner.h"
        src/mid/mid.h "" "#include \"mid/inner/inner.h\"")
kv_case(upward_link "upward link: the low library links high"
        links.cmake "kv_linked(low PUBLIC PRIVATE)" "kv_linked(low PUBLIC PRIVATE high)")
kv_case(upward_link_in_table "upward link: low uses high"
        layers.cmake "kv_layer(low)" "kv_layer(low PRIVATE high)")
kv_case(link_outside_the_table "the high library links PRIVATE 'low.mid' but its table line says 'mid'"
        links.cmake "PRIVATE mid)" "PRIVATE mid low)")
kv_case(include_not_named "high/high.cpp: includes low/low.h, but high's line in the table does not name low"
        src/high/high.cpp "" "#include \"low/low.h\"")
kv_case(unused_link "high names low, but no file of high includes it"
        layers.cmake "PRIVATE mid)" "PRIVATE mid low)"
        links.cmake "PRIVATE mid)" "PRIVATE mid low)")
kv_case(header_needs_public "a header of mid includes low, which its line names PRIVATE"
        layers.cmake "mid   PUBLIC low" "mid   PRIVATE low"
        links.cmake "kv_linked(mid PUBLIC low PRIVATE)" "kv_linked(mid PUBLIC PRIVATE low)")
kv_case(folder_not_listed "mid/stray/stray.h: folder 'mid/stray' is not in the mid folder list"
        src/mid/stray/stray.h "" "#pragma once")
kv_case(known_upward_include ""
        src/mid/inner/inner.h "" "#include \"mid/outer/outer.h\""
        layers.cmake "" "kv_upward_include(mid/inner/inner.h outer)")
kv_case(known_upward_include_gone "kv_upward_include.mid/inner/inner.h outer. no longer happens"
        layers.cmake "" "kv_upward_include(mid/inner/inner.h outer)")

if(failures)
  message(FATAL_ERROR "The layer check missed:\n${failures}")
endif()
message(STATUS "layer check: every fixture case as expected")
