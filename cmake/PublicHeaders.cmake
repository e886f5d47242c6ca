# pxs_public_headers(OUT ROOT HEADER) -- sets OUT to HEADER and every header
# under ROOT that it reaches through #include <pxs/...> or <util/...>, as
# paths relative to ROOT. Generated headers (not under ROOT) are skipped.
function(pxs_public_headers out root first)
  set(seen "")
  set(todo ${first})
  while(todo)
    list(POP_FRONT todo header)
    if(header IN_LIST seen OR NOT EXISTS ${root}/${header})
      continue()
    endif()
    list(APPEND seen ${header})
    # Re-run the configuration when a public header's includes change.
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${root}/${header})
    file(STRINGS ${root}/${header} lines REGEX "^[ \t]*#[ \t]*include[ \t]*<(pxs|util)/")
    foreach(line ${lines})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*<([^>]+)>.*" "\\1" name "${line}")
      list(APPEND todo ${name})
    endforeach()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()
