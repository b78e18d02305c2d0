# The platform-free core of the skin library: BMP decoding and encoding,
# reading and writing of the ZIP archives packed skins are made of, pixel-row
# arithmetic and the reader of skin files. It uses no <windows.h>, so the same
# sources build three ways:
#   - into the Windows library `skincore`, which `skin` links;
#   - natively with the host's compiler (fuzz/, for the fuzzers);
#   - the picture and archive writers into the skin generator that draws the
#     built-in skins at build time (SKINCORE_WRITER_SOURCES).
# The files stay beside the code that uses them; this list is their one home.
get_filename_component(SKINCORE_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)

set(SKINCORE_INCLUDE_DIRS
  ${SKINCORE_ROOT}/skin/engine
  ${SKINCORE_ROOT}/skins/generator)
set(SKINCORE_WRITER_SOURCES
  ${SKINCORE_ROOT}/skin/engine/acBmpFile.cpp
  ${SKINCORE_ROOT}/skins/generator/acZipWrite.cpp)
set(SKINCORE_SOURCES
  ${SKINCORE_WRITER_SOURCES}
  ${SKINCORE_ROOT}/skin/engine/acPixelRows.cpp
  ${SKINCORE_ROOT}/skin/engine/acZipReader.cpp
  ${SKINCORE_ROOT}/skin/engine/sSkinFile.cpp)
# Each source has its header beside it.
string(REPLACE ".cpp" ".h" SKINCORE_WRITER_HEADERS "${SKINCORE_WRITER_SOURCES}")
string(REPLACE ".cpp" ".h" SKINCORE_HEADERS "${SKINCORE_SOURCES}")

# The static library `skincore`; the arguments are how it links zlib.
function(skin_add_core_library)
  add_library(skincore STATIC ${SKINCORE_SOURCES} ${SKINCORE_HEADERS})
  foreach(dir ${SKINCORE_INCLUDE_DIRS})
    target_include_directories(skincore PUBLIC $<BUILD_INTERFACE:${dir}>)
  endforeach()
  target_compile_features(skincore PUBLIC cxx_std_17)
  target_link_libraries(skincore PUBLIC ${ARGN})
endfunction()
