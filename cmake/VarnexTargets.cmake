# Shared settings for the project's own targets.

function(varnex_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wconversion -Wno-sign-conversion)
endfunction()

# varnex_library(NAME folder-name [QT] SOURCES ... LINK ...)
# Builds the static library varnex_<name> with the alias varnex::<name>.
function(varnex_library name)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;PUBLIC_LINK;PRIVATE_LINK" ${ARGN})
  add_library(varnex_${name} STATIC)
  add_library(varnex::${name} ALIAS varnex_${name})
  target_sources(varnex_${name} PRIVATE ${ARG_SOURCES})
  target_include_directories(varnex_${name} PUBLIC
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>)
  target_compile_features(varnex_${name} PUBLIC cxx_std_20)
  target_link_libraries(varnex_${name} PUBLIC ${ARG_PUBLIC_LINK} PRIVATE ${ARG_PRIVATE_LINK})
  target_compile_definitions(varnex_${name} PRIVATE QT_NO_CAST_FROM_ASCII QT_NO_FOREACH)
  if(ARG_QT)
    set_target_properties(varnex_${name} PROPERTIES AUTOMOC ON)
  endif()
  varnex_warnings(varnex_${name})
endfunction()
