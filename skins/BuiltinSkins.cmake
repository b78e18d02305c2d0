# The built-in skins. skins/generator is a platform-free program compiled with
# the host's compiler and run at build time: it draws the "Light" and "Dark"
# skins into ${CMAKE_BINARY_DIR}/skins, as folders and as packed .asz files.
# The packed files are embedded as RCDATA resources "LIGHT" and "DARK" by an
# OBJECT library, because a resource inside a static library is never pulled
# into an executable. Executables that want the built-in skins call
#   skin_link_builtin_skins(<target>)

# The toolchain files search programs on the host only, so this is the host compiler.
find_program(SKIN_HOST_CXX NAMES g++ c++ clang++ REQUIRED)

set(SKINS_SOURCE_DIR ${PROJECT_SOURCE_DIR}/skins)
set(SKINS_OUTPUT_DIR ${CMAKE_BINARY_DIR}/skins)
# The generator writes its pictures and packed files with the core's own
# writers (cmake/SkinCore.cmake), compiled once more for the host.
set(SKINGEN_SOURCES
  ${SKINS_SOURCE_DIR}/generator/main.cpp
  ${SKINS_SOURCE_DIR}/generator/Skins.cpp
  ${SKINS_SOURCE_DIR}/generator/Paint.cpp
  ${SKINCORE_WRITER_SOURCES})
set(SKINGEN_HEADERS
  ${SKINS_SOURCE_DIR}/generator/Skins.h
  ${SKINS_SOURCE_DIR}/generator/Paint.h
  ${SKINCORE_WRITER_HEADERS})
set(SKINGEN_FLAGS -std=c++17 -O2 -Wall -Wextra)
if(SKIN_WERROR)
  list(APPEND SKINGEN_FLAGS -Werror)
endif()
foreach(dir ${SKINCORE_INCLUDE_DIRS})
  list(APPEND SKINGEN_FLAGS -I${dir})
endforeach()
set(SKINGEN_EXE ${SKINS_OUTPUT_DIR}/skingen-host${CMAKE_HOST_EXECUTABLE_SUFFIX})
set(BUILTIN_SKIN_FILES ${SKINS_OUTPUT_DIR}/Light.asz ${SKINS_OUTPUT_DIR}/Dark.asz)

add_custom_command(OUTPUT ${SKINGEN_EXE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${SKINS_OUTPUT_DIR}
  COMMAND ${SKIN_HOST_CXX} ${SKINGEN_FLAGS}
          ${SKINGEN_SOURCES} -o ${SKINGEN_EXE}
  DEPENDS ${SKINGEN_SOURCES} ${SKINGEN_HEADERS}
  COMMENT "Compiling the skin generator with the host compiler"
  VERBATIM)
add_custom_command(OUTPUT ${BUILTIN_SKIN_FILES}
  COMMAND ${SKINGEN_EXE} ${SKINS_OUTPUT_DIR}
  DEPENDS ${SKINGEN_EXE}
  COMMENT "Drawing the built-in skins Light and Dark"
  VERBATIM)
add_custom_target(builtin_skins DEPENDS ${BUILTIN_SKIN_FILES})

configure_file(${SKINS_SOURCE_DIR}/BuiltinSkins.rc.in ${SKINS_OUTPUT_DIR}/BuiltinSkins.rc @ONLY)
set_source_files_properties(${SKINS_OUTPUT_DIR}/BuiltinSkins.rc PROPERTIES OBJECT_DEPENDS "${BUILTIN_SKIN_FILES}")
add_library(skin_builtin_skins OBJECT ${SKINS_OUTPUT_DIR}/BuiltinSkins.rc)
add_dependencies(skin_builtin_skins builtin_skins)

function(skin_link_builtin_skins target)
  target_sources(${target} PRIVATE $<TARGET_OBJECTS:skin_builtin_skins>)
  add_dependencies(${target} skin_builtin_skins)
endfunction()
