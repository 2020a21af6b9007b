if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  cmake_minimum_required(VERSION 3.25)
endif()

# listgen_public_header_problems(<out> <root> <headers…>): every project
# include ("…") of the headers under <root> must name one of the headers
# (relative to <root>) or a header given in LISTGEN_GENERATED_HEADERS. <out>
# gets one line per header that breaks the rule, or stays empty.
function(listgen_public_header_problems out root)
  set(public ${ARGN} ${LISTGEN_GENERATED_HEADERS})
  set(problems "")
  foreach(h IN LISTS ARGN)
    set(file ${root}/${h})
    if(NOT EXISTS ${file})
      string(APPEND problems "\n  ${h}: listed as public, but there is no such header")
      continue()
    endif()
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    get_filename_component(dir ${h} DIRECTORY)
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" inc "${line}")
      # Quoted includes resolve next to the header first, then from the root.
      if(dir AND EXISTS ${root}/${dir}/${inc})
        set(resolved "${dir}/${inc}")
      else()
        set(resolved "${inc}")
      endif()
      cmake_path(NORMAL_PATH resolved)
      if(NOT resolved IN_LIST public)
        string(APPEND problems "\n  ${h} includes \"${inc}\", which is not public")
      endif()
    endforeach()
  endforeach()
  set(${out} "${problems}" PARENT_SCOPE)
endfunction()

# In script mode (the test package.public_header_rule): the rule on a small
# made-up tree, one case per row: headers (comma separated)|the expected
# problem, or "-" for none.
if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  set(root ${WORK}/tree)
  file(REMOVE_RECURSE ${root})
  file(WRITE ${root}/a/api.h "#pragma once\n#include \"a/types.h\"\n#include <QtCore/QString>\n")
  file(WRITE ${root}/a/types.h "#pragma once\n  #  include \"detail.h\" // next to it\n")
  file(WRITE ${root}/a/detail.h "#pragma once\n")
  file(WRITE ${root}/a/up.h "#pragma once\n#include \"../b/impl.h\"\n")
  file(WRITE ${root}/b/impl.h "#pragma once\n")
  file(WRITE ${root}/c/gen.h "#pragma once\n#include \"platform/version.h\"\n")
  set(LISTGEN_GENERATED_HEADERS platform/version.h)
  set(cases
    "a/api.h,a/types.h,a/detail.h|-"
    "a/api.h,a/types.h|a/types.h includes \"detail.h\", which is not public"
    "a/api.h|a/api.h includes \"a/types.h\", which is not public"
    "a/up.h|a/up.h includes \"../b/impl.h\", which is not public"
    "a/up.h,b/impl.h|-"
    "c/gen.h|-"
    "a/gone.h|a/gone.h: listed as public, but there is no such header")
  set(failures 0)
  foreach(c IN LISTS cases)
    string(REPLACE "|" ";" parts "${c}")
    list(GET parts 1 expected)
    list(GET parts 0 parts)
    string(REPLACE "," ";" parts "${parts}")
    listgen_public_header_problems(problems ${root} ${parts})
    string(STRIP "${problems}" problems)
    if(expected STREQUAL "-")
      set(expected "")
    endif()
    if(NOT problems STREQUAL expected)
      message(SEND_ERROR "headers ${parts}: expected [${expected}], got [${problems}]")
      math(EXPR failures "${failures} + 1")
    endif()
  endforeach()
  if(failures)
    message(FATAL_ERROR "${failures} case(s) failed")
  endif()
endif()
