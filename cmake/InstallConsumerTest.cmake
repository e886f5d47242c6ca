# Installs the build into a scratch prefix, then configures, builds and runs
# tests/consumer against it with find_package(pxs CONFIG), and compiles the
# same source once more with the flags pkg-config gives for libpxs.
file(REMOVE_RECURSE ${PXS_WORK_DIR})
set(prefix ${PXS_WORK_DIR}/prefix)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}\n${err}")
  endif()
endfunction()

run(${CMAKE_COMMAND} --install ${PXS_BUILD_DIR} --prefix ${prefix})

# The installed headers are a closed set: each <pxs/...> or <util/...> they
# include is installed too, so nothing internal is needed and nothing
# internal has to be shipped.
file(GLOB_RECURSE headers RELATIVE ${prefix}/include ${prefix}/include/*.h)
foreach(h ${headers})
  file(STRINGS ${prefix}/include/${h} includes REGEX "^[ \t]*#[ \t]*include[ \t]*<(pxs|util)/")
  foreach(line ${includes})
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*<([^>]+)>.*" "\\1" name "${line}")
    if(NOT EXISTS ${prefix}/include/${name})
      message(FATAL_ERROR "installed ${h} includes ${name}, which is not installed")
    endif()
  endforeach()
endforeach()
if(EXISTS ${prefix}/include/pxs/fddWalk.h OR EXISTS ${prefix}/include/pxs/fed13Walk.h)
  message(FATAL_ERROR "internal reader headers were installed")
endif()

# The exported target names its dependencies' targets, not this machine's
# include directories.
file(GLOB targets ${prefix}/lib*/cmake/pxs/pxsTargets.cmake)
file(STRINGS ${targets} dirs REGEX "INTERFACE_INCLUDE_DIRECTORIES")
foreach(line ${dirs})
  string(REGEX REPLACE ".*INTERFACE_INCLUDE_DIRECTORIES \"([^\"]*)\".*" "\\1" value "${line}")
  foreach(dir ${value})
    if(NOT dir MATCHES "^\\$\\{_IMPORT_PREFIX\\}")
      message(FATAL_ERROR "exported include directory is not relocatable: ${dir}")
    endif()
  endforeach()
endforeach()

# The installed tools find the library beside them without LD_LIBRARY_PATH.
if(EXISTS ${prefix}/bin/pxs-fom)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH
                          ${prefix}/bin/pxs-fom --tree HLAstandardMIM.xml
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0 OR NOT out MATCHES "HLAobjectRoot")
    message(FATAL_ERROR "installed pxs-fom does not run (${rc}): ${err}")
  endif()
endif()
foreach(doc README.md LICENSE)
  file(GLOB found ${prefix}/share/doc/*/${doc})
  if(NOT found)
    message(FATAL_ERROR "${doc} is not installed")
  endif()
endforeach()
set(extra "")
if(PXS_SANITIZE)
  set(extra -DCMAKE_CXX_FLAGS=-fsanitize=address,undefined)
endif()
run(${CMAKE_COMMAND} -S ${PXS_CONSUMER_DIR} -B ${PXS_WORK_DIR}/build
    -DCMAKE_PREFIX_PATH=${prefix} ${extra})
run(${CMAKE_COMMAND} --build ${PXS_WORK_DIR}/build)
run(${PXS_WORK_DIR}/build/consumer)

find_program(PKG_CONFIG pkg-config)
if(PKG_CONFIG)
  file(GLOB pcdir ${prefix}/lib*/pkgconfig ${prefix}/lib/*/pkgconfig)
  set(ENV{PKG_CONFIG_PATH} "${pcdir}")
  execute_process(COMMAND ${PKG_CONFIG} --cflags --libs libpxs
                  RESULT_VARIABLE rc OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "pkg-config does not know libpxs")
  endif()
  separate_arguments(flags UNIX_COMMAND "${flags}")
  set(san "")
  if(PXS_SANITIZE)
    set(san -fsanitize=address,undefined)
  endif()
  run(c++ -std=c++17 ${san} ${PXS_CONSUMER_DIR}/main.cpp ${flags}
      -o ${PXS_WORK_DIR}/consumer_pc)
  run(${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${prefix}/lib ${PXS_WORK_DIR}/consumer_pc)
endif()
