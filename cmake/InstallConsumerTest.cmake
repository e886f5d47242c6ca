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
