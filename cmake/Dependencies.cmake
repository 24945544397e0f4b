# Imported targets for the cross-built libraries (scripts/setup.sh puts them
# under $NIMBORA_DEPS) and MinGW's zlib.
set(NIMBORA_DEPS $ENV{NIMBORA_DEPS})
if(NOT NIMBORA_DEPS OR NOT EXISTS ${NIMBORA_DEPS}/include/pcre2.h)
  message(FATAL_ERROR "The cross-built libraries are missing: run scripts/setup.sh (NIMBORA_DEPS=${NIMBORA_DEPS})")
endif()

function(nimbora_dependency target library)
  add_library(${target} STATIC IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES
    IMPORTED_LOCATION ${NIMBORA_DEPS}/lib/${library}
    INTERFACE_INCLUDE_DIRECTORIES ${NIMBORA_DEPS}/include)
endfunction()

add_library(deps::zlib STATIC IMPORTED GLOBAL)
set_target_properties(deps::zlib PROPERTIES IMPORTED_LOCATION /usr/${NIMBORA_TRIPLET}/lib/libz.a)

nimbora_dependency(deps::pcre2 libpcre2-8.a)
set_property(TARGET deps::pcre2 PROPERTY INTERFACE_COMPILE_DEFINITIONS PCRE2_STATIC PCRE2_CODE_UNIT_WIDTH=8)

nimbora_dependency(deps::xml2 libxml2.a)
set_target_properties(deps::xml2 PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES ${NIMBORA_DEPS}/include/libxml2
  INTERFACE_COMPILE_DEFINITIONS LIBXML_STATIC
  INTERFACE_LINK_LIBRARIES ws2_32)

nimbora_dependency(deps::png libpng16.a)
set_property(TARGET deps::png PROPERTY INTERFACE_LINK_LIBRARIES deps::zlib)
nimbora_dependency(deps::jpeg libjpeg.a)
nimbora_dependency(deps::gif libgif.a)
