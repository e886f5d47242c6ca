# Built into the library, so the standard MIM and the files that validate
# object models are always at hand, whatever the installation looks like.
set(PXS_EMBEDDED_FILES
  ${CMAKE_CURRENT_SOURCE_DIR}/pxs/data/HLAstandardMIM.xml
  ${CMAKE_CURRENT_SOURCE_DIR}/pxs/data/HLA.dtd
  ${CMAKE_CURRENT_SOURCE_DIR}/pxs/data/IEEE1516-DIF-2010.xsd
  ${CMAKE_CURRENT_SOURCE_DIR}/pxs/data/IEEE1516-FDD-2010.xsd
  ${CMAKE_CURRENT_SOURCE_DIR}/pxs/data/IEEE1516-OMT-2010.xsd)
set(PXS_EMBEDDED_CPP ${CMAKE_CURRENT_BINARY_DIR}/generated/embeddedData.cpp)
add_custom_command(OUTPUT ${PXS_EMBEDDED_CPP}
  COMMAND ${CMAKE_COMMAND} "-DFILES=${PXS_EMBEDDED_FILES}" -DOUT=${PXS_EMBEDDED_CPP}
          -P ${PROJECT_SOURCE_DIR}/cmake/EmbedFiles.cmake
  DEPENDS ${PXS_EMBEDDED_FILES} ${PROJECT_SOURCE_DIR}/cmake/EmbedFiles.cmake
  COMMENT "Embedding standard object-model files"
  VERBATIM)
target_sources(pxs PRIVATE ${PXS_EMBEDDED_CPP})
