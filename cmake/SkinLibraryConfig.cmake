# Package configuration of the installed skin library (see cmake/SkinInstall.cmake):
#   find_package(SkinLibrary REQUIRED)
#   target_link_libraries(app PRIVATE SkinLibrary::skin)
# SkinLibrary::skin brings the class library, the platform-free core, zlib and
# the built-in skins "Light" and "Dark" along.

# zlib as the library was built with it: the static one of the toolchain.
if(NOT TARGET SkinLibrary::zlib)
  find_library(SkinLibrary_ZLIB NAMES libz.a z)
  if(NOT SkinLibrary_ZLIB)
    set(SkinLibrary_FOUND FALSE)
    set(SkinLibrary_NOT_FOUND_MESSAGE "SkinLibrary needs zlib (libz.a) for the target's toolchain")
    return()
  endif()
  add_library(SkinLibrary::zlib UNKNOWN IMPORTED)
  set_target_properties(SkinLibrary::zlib PROPERTIES IMPORTED_LOCATION "${SkinLibrary_ZLIB}")
endif()

include("${CMAKE_CURRENT_LIST_DIR}/SkinLibraryTargets.cmake")

# The built-in skins are resources, and a resource inside a static library is
# never pulled into a program: the object itself goes into whatever links skin.
get_property(_skin_sources TARGET SkinLibrary::skin PROPERTY INTERFACE_SOURCES)
if(NOT _skin_sources MATCHES "builtin_skins")
  set_property(TARGET SkinLibrary::skin APPEND PROPERTY INTERFACE_SOURCES
    $<TARGET_OBJECTS:SkinLibrary::builtin_skins>)
endif()
unset(_skin_sources)
